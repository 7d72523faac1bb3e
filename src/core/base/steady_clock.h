// The clock of programs without a window toolkit (tools): a monotonic clock and a real sleep.
#pragma once

#include <chrono>
#include <thread>

#include "core/base/clock.h"

namespace tarvo {

class SteadyClock : public Clock {
 public:
  std::int64_t NowMs() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start_)
        .count();
  }
  void SleepMs(int ms) override {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace tarvo
