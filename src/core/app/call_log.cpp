#include "core/app/call_log.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <fstream>

#include "core/base/notice.h"
#include "core/base/tracking_event_json.h"

namespace tarvo {

CallLog::CallLog(std::filesystem::path path, Notice* notice)
    : path_(std::move(path)), notice_(notice) {}

CallLog::~CallLog() {
  if (file_ != nullptr) std::fclose(file_);
}

void CallLog::Fail(const std::string& what) {
  failed_ = true;
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (notice_ == nullptr) return;
  notice_->Beep();
  notice_->ShowError("通話記録 " + path_.string() + " に書き込めません (" + what + ")");
}

void CallLog::OnTrackingEvent(const TrackingEvent& event) {
  if (failed_) return;
  if (file_ == nullptr) {
    // An installed program keeps its log in a folder made on first use.
    std::error_code ignored;
    if (path_.has_parent_path()) std::filesystem::create_directories(path_.parent_path(), ignored);
    file_ = std::fopen(path_.c_str(), "a");
    if (file_ == nullptr) return Fail(std::strerror(errno));
  }
  const std::string line = FormatEventJson(event) + "\n";
  if (std::fwrite(line.data(), 1, line.size(), file_) != line.size() || std::fflush(file_) != 0) {
    Fail(std::strerror(errno));
  }
}

std::vector<TrackingEvent> ReadCallLogTail(const std::filesystem::path& path, std::size_t count) {
  // Reads back from the end only as far as needed: a log of weeks stays quick to open.
  std::ifstream in(path, std::ios::binary);
  if (!in || count == 0) return {};
  in.seekg(0, std::ios::end);
  std::streamoff start = in.tellg();
  if (start <= 0) return {};
  std::string text;
  std::streamoff chunk = 1 << 16;
  while (start > 0 &&
         static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) <= count) {
    const std::streamoff step = std::min(chunk, start);
    start -= step;
    std::string piece(static_cast<std::size_t>(step), '\0');
    in.seekg(start);
    in.read(piece.data(), step);
    text.insert(0, piece);
    chunk *= 2;
  }
  std::size_t from = 0;
  if (start > 0) from = text.find('\n') + 1;  // the first line read is only the end of one
  std::deque<TrackingEvent> tail;
  while (from < text.size()) {
    std::size_t end = text.find('\n', from);
    if (end == std::string::npos) end = text.size();
    if (auto event = ParseEventJson(std::string_view(text).substr(from, end - from))) {
      if (tail.size() == count) tail.pop_front();
      tail.push_back(std::move(*event));
    }
    from = end + 1;
  }
  return {tail.begin(), tail.end()};
}

}  // namespace tarvo
