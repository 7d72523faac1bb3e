#include "core/decode/mcaccess_interpreter.h"

#include "core/base/event_pump.h"
#include "core/base/heard_lines_sink.h"
#include "core/base/id_admission.h"
#include "core/base/megahertz_text.h"
#include "core/base/tracking_events.h"
#include "core/decode/bit_fields.h"
#include "core/radio/receiver.h"

namespace tarvo {
namespace {

// Channel 0 without offset prints as the band edge; such a line is never followed.
constexpr const char* kBandEdgeText = "850.00000";

bool CarriesLine(const std::string& type) {
  return type == "20" || type == "28" || type == "30" || type == "33";
}

bool Recognised(const std::string& type) {
  return CarriesLine(type) || type == "00" || type == "39" || type == "08" || type == "10";
}

std::string LineTypeText(std::uint32_t code) {
  if (code == 0b00) return "VOICE";
  if (code == 0b11) return "DIGIT";
  return "-----";
}

// The three call-time codes in use; any other leaves the limit as it was.
int MinutesAfter(std::uint32_t code, int minutes) {
  switch (code) {
    case 0b101:
      return 3;
    case 0b110:
      return 2;
    case 0b000:
      return 1;
    default:
      return minutes;
  }
}

}  // namespace

McAccessFields ReadMcAccessFields(const McAccessWord& word, double channelStep, int callMinutes) {
  McAccessFields f;
  f.station = FieldHex(word, 4, 6);
  f.type = FieldHex(word, 12, 6);
  f.recognised = Recognised(f.type);
  f.control = word[10] != 0;
  if (CarriesLine(f.type)) {
    const int channel = static_cast<int>(FieldValue(word, 51, 9));
    const int offset = word[50] != 0 ? 1 : 0;
    f.lineMHz = 850 + 0.025 * channel - offset * channelStep;
    f.line = FormatMegahertz(*f.lineMHz);
  }
  if (f.type == "20") {
    f.id = FieldHex(word, 40, 10);
    f.lineType = LineTypeText(FieldValue(word, 27, 2));
  } else if (f.type == "00") {
    f.minutes = MinutesAfter(FieldValue(word, 24, 3), callMinutes);
  } else if (f.type == "39") {
    f.calls = FieldOnes(word, 18, 16);
    f.transmissions = FieldOnes(word, 35, 22);
  }
  return f;
}

McAccessInterpreter::McAccessInterpreter(MainState& state, const Services& services)
    : state_(state), services_(services) {}

void McAccessInterpreter::InterpretMcAccessFrame(const McAccessWord& word) {
  const McAccessFields f = ReadMcAccessFields(word, state_.McAccessChannelStep, callMinutes_);
  state_.Label6 = f.station;
  if (!f.recognised) return;

  if (f.type == "20") {
    AssignCall(f);
  } else if (f.type == "00") {
    callMinutes_ = *f.minutes;
    state_.Label28 = std::to_string(callMinutes_) + " 分";
    state_.Label21 = kNoLineFrequency;
  } else if (f.type == "39") {
    state_.Label22 = std::to_string(*f.calls) + " / " + std::to_string(*f.transmissions);
    state_.Label21 = kNoLineFrequency;
  } else if (f.type == "30") {
    MoveControlChannel(f);
  } else if (f.type == "33") {
    state_.Label21 = f.line + "MHz";
    state_.Label22 = "- / -";
    state_.Label28 = "- 分";
  } else if (f.type == "28") {
    FollowBroadcast(f);
  }

  if (f.control) {
    state_.Label7 = "制御回線";
  } else if (f.type == "30") {
    state_.Label7 = "周波切替";
  } else {
    state_.Label7 = "通話回線";
  }
  state_.Panel1 = Colour::kAqua;
  state_.RxLampBlocks = 0;
}

// Why a call assignment is not followed; empty when it is.
std::string McAccessInterpreter::SkipReason(const McAccessFields& f) const {
  if (!state_.TrackingOn) return "tracking-off";
  if (f.line == kBandEdgeText) return "band-edge";
  if (f.lineType == "DIGIT") return "data-line";
  if (!IdAdmitted(state_, f.id)) {
    return state_.IdSpecificReception() ? "id-not-selected" : "id-passed";
  }
  return "";
}

void McAccessInterpreter::AssignCall(const McAccessFields& f) {
  services_.heardLines->AddChList(*f.lineMHz);
  TrackingEvent call;
  call.event = "call";
  call.station = f.station;
  call.id = f.id;
  call.line = f.line;
  call.lineType = f.lineType;
  call.reason = SkipReason(f);
  const bool follow = call.reason.empty();
  call.action = follow ? "follow" : "skip";
  state_.Label21 = follow ? f.line + "MHz" : kNoLineFrequency;
  Report(std::move(call));
  if (!state_.TrackingOn || f.line == kBandEdgeText) return;
  // Asked before the tune, whose event pump may let the operator change the list.
  const bool passListed = IdInPassList(state_, f.id);
  if (follow) TuneToLine(f.line);
  // Edit2 shows the latest caller not kept out by the pass list, ready to be copied.
  if (!state_.IdSpecificReception() && !passListed) state_.Edit2.text = f.id;
}

void McAccessInterpreter::Report(TrackingEvent event) {
  if (services_.events == nullptr) return;
  if (event.action == "follow") {
    services_.events->Followed(std::move(event), DecoderType::kMcAccess);
  } else {
    services_.events->Emit(std::move(event), DecoderType::kMcAccess);
  }
}

void McAccessInterpreter::FollowBroadcast(const McAccessFields& f) {
  // A broadcast command is followed whatever the tracking switch and filters say.
  services_.heardLines->AddChList(*f.lineMHz);
  state_.Label21 = f.line + "MHz";
  state_.Label7 = "一斉指令";
  TrackingEvent broadcast;
  broadcast.event = "broadcast";
  broadcast.station = f.station;
  broadcast.line = f.line;
  broadcast.action = "follow";
  Report(std::move(broadcast));
  TuneToLine(f.line);
}

void McAccessInterpreter::MoveControlChannel(const McAccessFields& f) {
  state_.Label21 = f.line + "MHz";
  state_.Label22 = "- / -";
  state_.Label28 = "- 分";
  if (!state_.TrackingOn || f.line == kBandEdgeText) return;
  // The channel step stays as derived for the old control frequency.
  state_.ControlFrequencyText = f.line;
  if (services_.events != nullptr) {
    TrackingEvent moved;
    moved.event = "control";
    moved.station = f.station;
    moved.line = f.line;
    moved.reason = "moved";
    services_.events->Emit(std::move(moved), DecoderType::kMcAccess);
  }
  services_.receiver->TuneReceiver(state_.ControlFrequencyText, state_.RadioModel);
  state_.Timer2.SetInterval(0);
  state_.OnControlChannel = true;
}

void McAccessInterpreter::TuneToLine(const std::string& frequencyText) {
  // Let the new captions paint while the tune command is on its way.
  services_.pump->ProcessPendingEvents();
  services_.receiver->TuneReceiver(frequencyText, state_.RadioModel);
  state_.OnControlChannel = false;
  state_.Timer2.SetInterval(callMinutes_ * 60000);
}

}  // namespace tarvo
