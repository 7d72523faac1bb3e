// The tracker's one event seam: every part that decides reports here, and every sink (call log,
// history window, standard output, message broker) hears the same events, stamped with the time.
// It also remembers the line being followed, so a return can say which line it left and after
// how long.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "core/base/main_state.h"
#include "core/base/tracking_event.h"

namespace tarvo {

class Clock;

class TrackingEvents {
 public:
  using WallClock = std::function<std::chrono::system_clock::time_point()>;

  // clock measures the time on a line; wallClock stamps the events (the system's, by default).
  explicit TrackingEvents(Clock* clock, WallClock wallClock = std::chrono::system_clock::now);

  void AddSink(TrackingEventSink* sink);
  void RemoveSink(TrackingEventSink* sink);

  // Stamps the time and the decoder, and hands the event to every sink.
  void Emit(TrackingEvent event, DecoderType decoder);

  // A call or broadcast followed to its line: emitted, and the line remembered.
  void Followed(TrackingEvent event, DecoderType decoder);
  // Back from the followed line (if one is being followed) to the control channel `to`.
  // tuned is false where the receiver was left on the line.
  void Returned(DecoderType decoder, const std::string& to, const std::string& reason,
                bool tuned = true);

  const std::string& FollowedLine() const { return followedLine_; }

 private:
  Clock* clock_;
  WallClock wallClock_;
  std::vector<TrackingEventSink*> sinks_;
  std::string followedLine_;
  std::int64_t followedAtMs_ = 0;
};

const char* DecoderName(DecoderType decoder);

}  // namespace tarvo
