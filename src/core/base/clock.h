// Wall time for bounded waits and the blocking sleeps some receivers need.
#pragma once

#include <cstdint>

namespace tarvo {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::int64_t NowMs() = 0;
  virtual void SleepMs(int ms) = 0;
};

}  // namespace tarvo
