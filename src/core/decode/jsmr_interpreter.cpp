#include "core/decode/jsmr_interpreter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/audio/monitor_sink.h"
#include "core/base/event_pump.h"
#include "core/base/heard_lines_sink.h"
#include "core/base/id_admission.h"
#include "core/base/megahertz_text.h"
#include "core/base/tracking_events.h"
#include "core/decode/bit_fields.h"
#include "core/decode/jsmr_fields.h"
#include "core/radio/receiver.h"

namespace tarvo {
namespace {

constexpr double kToneInputScale = 5e-5;
constexpr double kMeterScale = 50.0;
constexpr int kSilentBlocks = 4;

// Frequencies compare by this text, so two that print alike are the same line.
std::string GeneralText(double megahertz) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", megahertz);
  return text;
}

}  // namespace

JsmrInterpreter::JsmrInterpreter(MainState& state, const FilterDesigns& designs, Services services)
    : state_(state), services_(services), tone_(designs.jsmrTone) {}

void JsmrInterpreter::InterpretJsmrWord(const JsmrWord& word) {
  const JsmrWordFields fields = ParseJsmrWord(word);
  if (fields.channel < kJsmrChannels) {
    const double lineFrequency = JsmrLineFrequency(fields.channel, state_.RasterOffset);
    const bool onControlFrequency =
        GeneralText(lineFrequency) == GeneralText(state_.ControlFrequency);
    const std::string idText = HexText(static_cast<std::uint32_t>(fields.id), 8);
    const bool announcement = fields.id == kJsmrControlAnnouncementId;

    if (announcement) {
      state_.Label6 = HexText(static_cast<std::uint32_t>(fields.station), 8);
      ShowControlLine();
    } else {
      services_.heardLines->AddChList(lineFrequency);
    }
    if (!state_.IdSpecificReception() && !onControlFrequency && !announcement) {
      state_.Edit2.text = idText;
    }
    if (!announcement) {
      TrackingEvent call;
      call.event = "call";
      call.station = HexText(static_cast<std::uint32_t>(fields.station), 8);
      call.id = idText;
      call.line = FormatMegahertz(lineFrequency);
      call.channel = fields.channel;
      if (!state_.TrackingOn) {
        call.reason = "tracking-off";
      } else if (onControlFrequency) {
        call.reason = "control-line";
      } else if (!IdAdmitted(state_, idText)) {
        call.reason = state_.IdSpecificReception() ? "id-not-selected" : "id-passed";
      }
      call.action = call.reason.empty() ? "follow" : "skip";
      if (call.reason.empty()) {
        if (services_.events != nullptr)
          services_.events->Followed(std::move(call), DecoderType::kJsmr);
        TuneToLine(lineFrequency);
      } else if (services_.events != nullptr) {
        services_.events->Emit(std::move(call), DecoderType::kJsmr);
      }
    }
  }
  state_.Panel1 = Colour::kAqua;
}

void JsmrInterpreter::TuneToLine(double lineFrequency) {
  const std::string frequencyText = FormatMegahertz(lineFrequency);
  state_.Label7 = "通話回線";
  state_.Label21 = frequencyText + "MHz";
  services_.pump->ProcessPendingEvents();
  services_.receiver->TuneReceiver(frequencyText, state_.RadioModel);
  state_.OnControlChannel = false;
  state_.Timer1.SetInterval(0);
  state_.Timer2.SetInterval(0);
  state_.JsmrOnLine = true;
  lineBlocks_ = 0;
  state_.CallAudioOpen = false;
}

void JsmrInterpreter::SuperviseJsmrLine(InputBlock& monitorCopy) {
  double sum = 0.0;
  for (const double x : monitorCopy) {
    const double w = tone_.b0 * x * kToneInputScale + tone_.a1 * w1_ + tone_.a2 * w2_;
    w2_ = w1_;
    w1_ = w;
    sum += std::fabs(w);
  }
  toneLevel_ = sum / kBlockSamples;
  const double meter = toneLevel_ * kMeterScale;
  const int threshold = state_.TrackBar4.position / 100;

  if (threshold < meter && state_.TrackingOn && state_.JsmrOnLine && lineBlocks_ >= kHoldBlocks) {
    ReleaseLine();
  } else if (state_.JsmrOnLine && lineBlocks_ < kHoldBlocks) {
    ++lineBlocks_;
  }

  if (state_.CheckBox1.checked) {
    state_.Image3.length = static_cast<int>(std::min(meter, 1e9));
    state_.Image3.colour = Colour::kAqua;
    state_.Image3.marker = threshold;
  }

  if (state_.MonitorOn || (state_.JsmrOnLine && lineBlocks_ >= kMonitorOpenBlock)) {
    if (!state_.CallAudioOpen) {
      if (state_.WaveOutput) {
        WriteSilence();
      } else {
        services_.receiver->SetReceiverVolume(state_.TrackBar2.position);
      }
      state_.CallAudioOpen = true;
      state_.Timer1.SetInterval(0);
      state_.Timer2.SetInterval(0);
    } else if (state_.WaveOutput) {
      services_.monitor->WriteMonitorBlock(monitorCopy.data(), state_.CheckBox2.checked, false);
    }
  }

  state_.Panel2 = state_.JsmrOnLine ? Colour::kLime : Colour::kBlack;
  state_.Panel4 = state_.JsmrOnLine ? Colour::kYellow : Colour::kBlack;
}

void JsmrInterpreter::ReleaseLine() {
  if (state_.WaveOutput) {
    WriteSilence();
  } else {
    services_.receiver->SetReceiverVolume(0);
  }
  // Back to the control channel as its label shows it: the numeric copy is not refreshed when
  // the operator picks a new control channel from the list.
  const std::string controlText = state_.ControlFrequencyText;
  services_.pump->ProcessPendingEvents();
  services_.receiver->TuneReceiver(controlText, state_.RadioModel);
  if (services_.events != nullptr) {
    services_.events->Returned(DecoderType::kJsmr, controlText, "tone-ended");
  }
  state_.JsmrOnLine = false;
  ShowControlLine();
  state_.CallAudioOpen = false;
  lineBlocks_ = 0;
}

void JsmrInterpreter::WriteSilence() {
  for (int i = 0; i < kSilentBlocks; ++i) {
    services_.monitor->WriteMonitorBlock(scratch_.data(), state_.CheckBox2.checked, true);
  }
}

void JsmrInterpreter::ShowControlLine() {
  state_.Label7 = "制御回線";
  state_.Label21 = kNoLineFrequency;
  state_.Label22 = "- / -";
  state_.Label28 = "- 分";
}

}  // namespace tarvo
