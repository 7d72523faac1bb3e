#include "core/audio/block_sequencer.h"

namespace tarvo {

void BlockSequencer::OnBlockReady() {
  ++pending_;
  if (running_) return;
  running_ = true;
  // A handler that throws ends its own block, not the sequencing of the ones after it.
  struct Release {
    bool& running;
    ~Release() { running = false; }
  } release{running_};
  while (pending_ > 0) {
    --pending_;
    processNext_();
  }
}

}  // namespace tarvo
