// A window timer as the handlers see it: an interval of 0 means stopped, a new non-zero
// interval (re)starts it, and assigning the interval it already has leaves it running.
#pragma once

namespace tarvo {

// What actually counts time: a QTimer in the program, a fake clock in tests.
class TimerDriver {
 public:
  virtual ~TimerDriver() = default;
  virtual void Restart(int intervalMs) = 0;
  virtual void Stop() = 0;
};

class IntervalTimer {
 public:
  void SetDriver(TimerDriver* driver) { driver_ = driver; }

  void SetInterval(int intervalMs) {
    if (intervalMs == interval_) return;
    interval_ = intervalMs;
    if (driver_ == nullptr) return;
    if (interval_ == 0) {
      driver_->Stop();
    } else {
      driver_->Restart(interval_);
    }
  }

  int Interval() const { return interval_; }

 private:
  int interval_ = 0;
  TimerDriver* driver_ = nullptr;
};

}  // namespace tarvo
