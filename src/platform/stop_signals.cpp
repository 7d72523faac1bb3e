#include "platform/stop_signals.h"

#include <pthread.h>
#include <signal.h>

namespace tarvo {
namespace {

sigset_t StopSet() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  return set;
}

// A program started from here (the desktop's mixer) must not inherit the blocked signals, or
// a logout could not end it.
void UnblockInChild() {
  const sigset_t set = StopSet();
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

}  // namespace

StopSignals::StopSignals() {
  const sigset_t set = StopSet();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  static const bool registered = pthread_atfork(nullptr, nullptr, UnblockInChild) == 0;
  (void)registered;
}

StopSignals::~StopSignals() {
  if (!watcher_.joinable()) return;
  stopping_ = true;
  // Wakes the watcher without a real signal; it sees it is not wanted and ends.
  pthread_kill(watcher_.native_handle(), SIGHUP);
  watcher_.join();
}

void StopSignals::Watch(std::function<void(int signal)> onStop) {
  watcher_ = std::thread([this, onStop = std::move(onStop)] {
    const sigset_t set = StopSet();
    int signal = 0;
    if (sigwait(&set, &signal) != 0) return;
    if (!stopping_.exchange(true)) onStop(signal);
  });
}

}  // namespace tarvo
