// The event loop of a program without a window: work posted from other threads (the sound
// card's block notices, a stop request) and the return timers, run one at a time on the thread
// that calls Run. It is also the event pump the core calls while it waits on the receiver.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "core/base/event_pump.h"
#include "core/base/interval_timer.h"

namespace tarvo {

class HeadlessLoop;

// A repeating timer of the loop, as the core's return timers drive it.
class HeadlessTimer : public TimerDriver {
 public:
  HeadlessTimer(HeadlessLoop& loop, std::function<void()> fire);
  ~HeadlessTimer() override;
  HeadlessTimer(const HeadlessTimer&) = delete;
  HeadlessTimer& operator=(const HeadlessTimer&) = delete;

  void Restart(int intervalMs) override;
  void Stop() override;

 private:
  friend class HeadlessLoop;
  HeadlessLoop& loop_;
  std::function<void()> fire_;
  std::chrono::milliseconds interval_{0};
  std::chrono::steady_clock::time_point due_;
};

class HeadlessLoop : public EventPump {
 public:
  // From any thread.
  void Post(std::function<void()> work);
  void Stop();

  // Runs posted work and due timers until Stop or until the deadline, if any.
  void Run(std::optional<std::chrono::steady_clock::time_point> deadline);

  // Runs what is pending now, without waiting.
  void ProcessPendingEvents() override;

 private:
  friend class HeadlessTimer;
  // Runs posted work and due timers; returns when the next timer is due.
  std::optional<std::chrono::steady_clock::time_point> RunDue();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> posted_;
  bool stopping_ = false;
  std::vector<HeadlessTimer*> timers_;  // touched on the loop's thread only
};

}  // namespace tarvo
