// Carries the rig requests of the window thread out on a thread of their own, so a rig that is
// slow or gone never holds up the window or the block path. Only the latest tune and the latest
// volume still waiting matter; a rig that failed is closed and opened again by the next request.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/radio/rig_device.h"

namespace tarvo {

struct RigFailure {
  // kBack: the rig answered again after a failure (no reason then).
  enum class Kind { kOpen, kTune, kVolume, kBack };
  Kind kind;
  std::string reason;  // the library's words
};

class RigWorker {
 public:
  // reportReady runs on the worker thread whenever a failure has been recorded; the program
  // uses it to have TakeFailures called on the window thread.
  explicit RigWorker(RigDevice& device, std::function<void()> reportReady = {});
  // Carries out what is still queued (the exit volume and the close), then ends the thread.
  ~RigWorker();
  RigWorker(const RigWorker&) = delete;
  RigWorker& operator=(const RigWorker&) = delete;

  // Requests; each returns at once.
  void Open(const RigTarget& target);
  void Tune(std::int64_t hertz);
  void SetVolume(double level);
  void Close();

  // Blocks until every request so far has been carried out (tools and tests).
  void WaitIdle();
  // Failures recorded since the last call, oldest first.
  std::vector<RigFailure> TakeFailures();

 private:
  struct Request {
    enum class Kind { kOpen, kTune, kVolume, kClose } kind;
    RigTarget target;
    std::int64_t hertz = 0;
    double level = 0.0;
  };

  void Post(Request request);
  void Run();
  void CarryOut(const Request& request);
  // Opens the last target again after a failure; false (and the failure recorded) if it stays shut.
  bool EnsureOpen(RigFailure::Kind kindOnFailure);
  void Fail(RigFailure::Kind kind);
  // A call worked: after a failure, reported as kBack.
  void Answered();

  RigDevice& device_;
  std::function<void()> reportReady_;

  // Touched by the worker thread only.
  RigTarget target_;
  bool wanted_ = false;  // opened by request and not closed since
  bool open_ = false;
  bool failing_ = false;  // the last call failed

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Request> queue_;
  bool busy_ = false;
  bool stopping_ = false;
  std::vector<RigFailure> failures_;
  std::thread thread_;  // started by the first request
};

}  // namespace tarvo
