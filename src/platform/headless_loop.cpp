#include "platform/headless_loop.h"

#include <algorithm>

namespace tarvo {

HeadlessTimer::HeadlessTimer(HeadlessLoop& loop, std::function<void()> fire)
    : loop_(loop), fire_(std::move(fire)) {
  loop_.timers_.push_back(this);
}

HeadlessTimer::~HeadlessTimer() {
  auto& timers = loop_.timers_;
  timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
}

void HeadlessTimer::Restart(int intervalMs) {
  interval_ = std::chrono::milliseconds(intervalMs);
  due_ = std::chrono::steady_clock::now() + interval_;
}

void HeadlessTimer::Stop() {
  interval_ = std::chrono::milliseconds(0);
}

void HeadlessLoop::Post(std::function<void()> work) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    posted_.push_back(std::move(work));
  }
  wake_.notify_one();
}

void HeadlessLoop::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
}

std::optional<std::chrono::steady_clock::time_point> HeadlessLoop::RunDue() {
  while (true) {
    std::function<void()> work;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (posted_.empty()) break;
      work = std::move(posted_.front());
      posted_.pop_front();
    }
    work();
  }
  std::optional<std::chrono::steady_clock::time_point> next;
  const auto now = std::chrono::steady_clock::now();
  // A handler may restart or stop any timer, so each is looked at afresh.
  for (std::size_t i = 0; i < timers_.size(); ++i) {
    HeadlessTimer* timer = timers_[i];
    if (timer->interval_.count() == 0) continue;
    if (timer->due_ <= now) {
      timer->due_ = now + timer->interval_;
      timer->fire_();
    }
    if (timer->interval_.count() != 0 && (!next || timer->due_ < *next)) next = timer->due_;
  }
  return next;
}

void HeadlessLoop::ProcessPendingEvents() {
  RunDue();
}

void HeadlessLoop::Run(std::optional<std::chrono::steady_clock::time_point> deadline) {
  while (true) {
    auto next = RunDue();
    if (deadline && (!next || *deadline < *next)) next = deadline;
    std::unique_lock<std::mutex> lock(mutex_);
    if (stopping_) return;
    if (deadline && std::chrono::steady_clock::now() >= *deadline) return;
    const auto ready = [this] { return stopping_ || !posted_.empty(); };
    if (next) {
      wake_.wait_until(lock, *next, ready);
    } else {
      wake_.wait(lock, ready);
    }
  }
}

}  // namespace tarvo
