// The core's platform seams as Qt provides them: error box and beep, event pump, clock, timers.
#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include "core/base/clock.h"
#include "core/base/event_pump.h"
#include "core/base/interval_timer.h"
#include "core/base/notice.h"

namespace tarvo {

class QtNotice : public Notice {
 public:
  void Beep() override;
  void ShowError(const std::string& text) override;  // modal, one OK button
};

class QtEventPump : public EventPump {
 public:
  void ProcessPendingEvents() override;
};

class QtClock : public Clock {
 public:
  QtClock() { elapsed_.start(); }
  std::int64_t NowMs() override { return elapsed_.elapsed(); }
  void SleepMs(int ms) override;

 private:
  QElapsedTimer elapsed_;
};

// A QTimer run by the core's interval rules; connect to Timer() for the ticks.
class QtTimerDriver : public TimerDriver {
 public:
  void Restart(int intervalMs) override { timer_.start(intervalMs); }
  void Stop() override { timer_.stop(); }
  QTimer& Timer() { return timer_; }

 private:
  QTimer timer_;
};

}  // namespace tarvo
