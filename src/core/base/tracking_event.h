// One decision of the tracker as it was made: a call followed or skipped and why, a return to the
// control channel, a control-channel move, the decode health, a device lost or back.
#pragma once

#include <optional>
#include <string>

namespace tarvo {

struct TrackingEvent {
  std::string time;     // local time, ISO 8601 with milliseconds and UTC offset
  std::string event;    // "call", "broadcast", "return", "control", "health", "receiver", "sound"
  std::string decoder;  // "mcaccess" or "jsmr"

  // "call", "broadcast": who called, where, and what the tracker did.
  std::string station;
  std::string id;        // the ID text the filters compare
  std::string line;      // five-decimal MHz; also the line left ("return") or moved to ("control")
  std::string lineType;  // McAccess: "VOICE", "DIGIT" or "-----"
  std::optional<int> channel;  // JSMR channel number
  std::string action;          // "follow" or "skip"
  std::string reason;          // why skipped, returned, moved

  // "return"
  std::string to;                 // the control frequency text tuned back to
  std::optional<double> seconds;  // time on the line
  std::optional<bool> tuned;      // false when the receiver was left where it was

  // "health": frames accepted and rejected (sync found, check failed) since the last health
  // event, and seconds of control-channel listening since the last accepted frame.
  std::optional<int> frames;
  std::optional<int> rejected;
  std::optional<double> silent;

  // "receiver", "sound": "lost", "back", "failed"; the device it is about.
  std::string state;
  std::string device;
};

// Where events go: the call log, the history window, standard output, a message broker.
class TrackingEventSink {
 public:
  virtual ~TrackingEventSink() = default;
  virtual void OnTrackingEvent(const TrackingEvent& event) = 0;
};

}  // namespace tarvo
