// SIGINT, SIGTERM and SIGHUP as an orderly stop: the signals are blocked in every thread and one
// watcher thread waits for them, then calls back, so the program closes as its own close would.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace tarvo {

class StopSignals {
 public:
  // Call before any other thread starts, so every thread inherits the blocked signals.
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // onStop runs on the watcher thread, once, for the first signal that arrives.
  void Watch(std::function<void(int signal)> onStop);

 private:
  std::atomic<bool> stopping_{false};  // set once a stop has been asked for or is no longer wanted
  std::thread watcher_;
};

}  // namespace tarvo
