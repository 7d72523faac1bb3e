// The McAccess message interpreter: turns each accepted control-channel frame into read-outs and
// tracking actions (follow a call or a broadcast command, move with the control channel).
#pragma once

#include <optional>
#include <string>

#include "core/base/main_state.h"
#include "core/base/services.h"
#include "core/base/tracking_event.h"
#include "core/decode/mcaccess_frame.h"

namespace tarvo {

// What one frame says, as the read-outs show it. Fields a message type does not carry stay empty.
struct McAccessFields {
  std::string station;               // base-station number, 2 hex digits
  std::string type;                  // message type, 2 hex digits
  bool recognised = false;           // type is one the interpreter acts on
  bool control = false;              // the control-line flag
  std::string id;                    // "20": call ID, 3 hex digits
  std::string lineType;              // "20": "VOICE", "DIGIT" or "-----"
  std::optional<double> lineMHz;     // "20", "28", "30", "33"
  std::string line;                  // lineMHz in five decimals
  std::optional<int> minutes;        // "00": the call-time limit in force after this frame
  std::optional<int> calls;          // "39": 1 bits of the first map
  std::optional<int> transmissions;  // "39": 1 bits of the second map
};

// Reads a frame word. channelStep is the McAccess channel step in MHz; callMinutes the call-time
// limit known before this frame.
McAccessFields ReadMcAccessFields(const McAccessWord& word, double channelStep, int callMinutes);

class McAccessInterpreter : public McAccessFrameSink {
 public:
  McAccessInterpreter(MainState& state, const Services& services);

  void InterpretMcAccessFrame(const McAccessWord& word) override;

  // The announced call-time limit in minutes; 0 until a type "00" frame brought one.
  int CallMinutes() const { return callMinutes_; }

 private:
  void AssignCall(const McAccessFields& fields);
  std::string SkipReason(const McAccessFields& fields) const;
  // Hands the decision to the event seam; a follow also marks the line as followed.
  void Report(TrackingEvent event);
  void FollowBroadcast(const McAccessFields& fields);
  void MoveControlChannel(const McAccessFields& fields);
  void TuneToLine(const std::string& frequencyText);

  MainState& state_;
  Services services_;
  int callMinutes_ = 0;
};

}  // namespace tarvo
