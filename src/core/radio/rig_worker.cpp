#include "core/radio/rig_worker.h"

#include <algorithm>
#include <utility>

namespace tarvo {

RigWorker::RigWorker(RigDevice& device, std::function<void()> reportReady)
    : device_(device), reportReady_(std::move(reportReady)) {}

RigWorker::~RigWorker() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void RigWorker::Open(const RigTarget& target) {
  Post({Request::Kind::kOpen, target, 0, 0.0});
}

void RigWorker::Tune(std::int64_t hertz) {
  Post({Request::Kind::kTune, {}, hertz, 0.0});
}

void RigWorker::SetVolume(double level) {
  Post({Request::Kind::kVolume, {}, 0, level});
}

void RigWorker::Close() {
  Post({Request::Kind::kClose, {}, 0, 0.0});
}

void RigWorker::Post(Request request) {
  {
    std::lock_guard lock(mutex_);
    if (request.kind == Request::Kind::kTune || request.kind == Request::Kind::kVolume) {
      // A waiting request of the same kind since the last open or close is stale now.
      auto from = std::find_if(queue_.rbegin(), queue_.rend(), [](const Request& r) {
                    return r.kind == Request::Kind::kOpen || r.kind == Request::Kind::kClose;
                  }).base();
      queue_.erase(std::remove_if(from, queue_.end(),
                                  [&](const Request& r) { return r.kind == request.kind; }),
                   queue_.end());
    }
    queue_.push_back(std::move(request));
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
  }
  changed_.notify_all();
}

void RigWorker::WaitIdle() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return queue_.empty() && !busy_; });
}

std::vector<RigFailure> RigWorker::TakeFailures() {
  std::lock_guard lock(mutex_);
  return std::exchange(failures_, {});
}

void RigWorker::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (queue_.empty()) break;  // stopping, and nothing left to carry out
    const Request request = std::move(queue_.front());
    queue_.pop_front();
    busy_ = true;
    lock.unlock();
    CarryOut(request);
    lock.lock();
    busy_ = false;
    changed_.notify_all();
  }
  if (open_) device_.Close();
}

void RigWorker::CarryOut(const Request& request) {
  switch (request.kind) {
    case Request::Kind::kOpen:
      if (open_) device_.Close();
      target_ = request.target;
      wanted_ = true;
      open_ = false;
      EnsureOpen(RigFailure::Kind::kOpen);
      break;
    case Request::Kind::kTune:
      if (EnsureOpen(RigFailure::Kind::kTune)) {
        device_.SetFrequency(request.hertz) ? Answered() : Fail(RigFailure::Kind::kTune);
      }
      break;
    case Request::Kind::kVolume:
      if (EnsureOpen(RigFailure::Kind::kVolume)) {
        device_.SetVolume(request.level) ? Answered() : Fail(RigFailure::Kind::kVolume);
      }
      break;
    case Request::Kind::kClose:
      if (open_) device_.Close();
      wanted_ = false;
      open_ = false;
      break;
  }
}

bool RigWorker::EnsureOpen(RigFailure::Kind kindOnFailure) {
  if (!wanted_) return false;  // released: requests go nowhere, as to a closed port
  if (open_) return true;
  if (!device_.Open(target_)) {
    Fail(kindOnFailure);
    return false;
  }
  open_ = true;
  device_.SetModeFm();  // a rig that refuses still tunes
  return true;
}

void RigWorker::Answered() {
  if (!failing_) return;
  failing_ = false;
  {
    std::lock_guard lock(mutex_);
    failures_.push_back({RigFailure::Kind::kBack, ""});
  }
  if (reportReady_) reportReady_();
}

void RigWorker::Fail(RigFailure::Kind kind) {
  failing_ = true;
  const std::string reason = device_.LastError();
  // A rig that failed is in an unknown state; the next request starts it afresh.
  if (open_) device_.Close();
  open_ = false;
  {
    std::lock_guard lock(mutex_);
    failures_.push_back({kind, reason});
  }
  if (reportReady_) reportReady_();
}

}  // namespace tarvo
