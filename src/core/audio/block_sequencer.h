// Runs recorded blocks on the window thread strictly one at a time: a block announced while
// one is being processed (its handler pumping events) waits until that one has finished.
#pragma once

#include <functional>
#include <utility>

namespace tarvo {

class BlockSequencer {
 public:
  // processNext takes and processes the oldest recorded block, if any.
  explicit BlockSequencer(std::function<void()> processNext)
      : processNext_(std::move(processNext)) {}

  // Called on the window thread once per announced block.
  void OnBlockReady();
  int Pending() const { return pending_; }

 private:
  std::function<void()> processNext_;
  int pending_ = 0;
  bool running_ = false;
};

}  // namespace tarvo
