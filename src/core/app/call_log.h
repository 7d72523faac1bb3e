// The call log: every tracking event appended as one JSON line to a file that is never truncated
// or rewritten, flushed per line, so a restart or a crash keeps what was written.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/base/tracking_event.h"

namespace tarvo {

class Notice;

inline constexpr const char* kCallLogName = "tarvo-calls.jsonl";

class CallLog : public TrackingEventSink {
 public:
  // The file is opened on the first event. A file that cannot be opened or written is reported
  // once through notice (may be null); tracking goes on without the log.
  CallLog(std::filesystem::path path, Notice* notice);
  ~CallLog() override;
  CallLog(const CallLog&) = delete;
  CallLog& operator=(const CallLog&) = delete;

  void OnTrackingEvent(const TrackingEvent& event) override;

  const std::filesystem::path& Path() const { return path_; }

 private:
  void Fail(const std::string& what);

  std::filesystem::path path_;
  Notice* notice_;
  std::FILE* file_ = nullptr;
  bool failed_ = false;
};

// The last `count` events of a log file, oldest first; lines that are not events are passed over.
// A missing file gives none.
std::vector<TrackingEvent> ReadCallLogTail(const std::filesystem::path& path, std::size_t count);

}  // namespace tarvo
