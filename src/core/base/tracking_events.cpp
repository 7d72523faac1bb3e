#include "core/base/tracking_events.h"

#include <algorithm>

#include "core/base/clock.h"
#include "core/base/local_time.h"

namespace tarvo {

const char* DecoderName(DecoderType decoder) {
  return decoder == DecoderType::kMcAccess ? "mcaccess" : "jsmr";
}

TrackingEvents::TrackingEvents(Clock* clock, WallClock wallClock)
    : clock_(clock), wallClock_(std::move(wallClock)) {}

void TrackingEvents::AddSink(TrackingEventSink* sink) {
  sinks_.push_back(sink);
}

void TrackingEvents::RemoveSink(TrackingEventSink* sink) {
  sinks_.erase(std::remove(sinks_.begin(), sinks_.end(), sink), sinks_.end());
}

void TrackingEvents::Emit(TrackingEvent event, DecoderType decoder) {
  event.time = LocalIsoTime(wallClock_());
  event.decoder = DecoderName(decoder);
  for (TrackingEventSink* sink : sinks_) sink->OnTrackingEvent(event);
}

void TrackingEvents::Followed(TrackingEvent event, DecoderType decoder) {
  followedLine_ = event.line;
  followedAtMs_ = clock_ != nullptr ? clock_->NowMs() : 0;
  Emit(std::move(event), decoder);
}

void TrackingEvents::Returned(DecoderType decoder, const std::string& to, const std::string& reason,
                              bool tuned) {
  if (followedLine_.empty()) return;
  TrackingEvent e;
  e.event = "return";
  e.line = followedLine_;
  e.to = to;
  e.reason = reason;
  const std::int64_t now = clock_ != nullptr ? clock_->NowMs() : followedAtMs_;
  e.seconds = static_cast<double>(now - followedAtMs_) / 1000.0;
  if (!tuned) e.tuned = false;
  followedLine_.clear();
  Emit(std::move(e), decoder);
}

}  // namespace tarvo
