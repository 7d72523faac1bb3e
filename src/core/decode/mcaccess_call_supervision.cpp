#include "core/decode/mcaccess_call_supervision.h"

#include "core/audio/monitor_sink.h"
#include "core/radio/receiver.h"

namespace tarvo {
namespace {

constexpr int kSilentPrimingBlocks = 4;
constexpr int kWatchdogMs = 3000;

}  // namespace

void CountMcAccessReceptionLamp(MainState& state) {
  if (state.RxLampBlocks > 4) {
    state.Panel1 = Colour::kBlack;
  } else {
    ++state.RxLampBlocks;
  }
}

void SuperviseMcAccessCall(MainState& state, const Services& services, InputBlock& monitorBlock,
                           double toneLevel) {
  state.Image3.length = static_cast<int>(toneLevel * 0.01);
  state.Image3.colour = Colour::kAqua;
  state.Image3.marker = state.TrackBar4.position / 100;

  const bool tone = toneLevel > state.ToneThreshold && !state.OnControlChannel && !state.RadioBusy;
  if (tone && state.TuneSettleBlocks == 0) {
    state.Panel2 = Colour::kLime;
    state.VoiceDetected = true;
  } else if (!tone && state.MonitorOn) {
    state.Panel2 = Colour::kBlack;
    state.VoiceDetected = true;
  } else {
    state.Panel2 = Colour::kBlack;
    state.VoiceDetected = false;
    state.CallAudioOpen = false;
  }

  const bool armWatchdog = state.TrackingOn && !state.VoiceDetected && state.TuneSettleBlocks == 0;
  state.Timer1.SetInterval(armWatchdog ? kWatchdogMs : 0);

  const bool deemphasis = state.CheckBox2.checked;
  if (state.VoiceDetected) {
    if (!state.CallAudioOpen) {
      if (!state.WaveOutput) {
        if (services.receiver != nullptr)
          services.receiver->SetReceiverVolume(state.TrackBar2.position);
      } else if (services.monitor != nullptr) {
        for (int n = 0; n < kSilentPrimingBlocks; ++n) {
          services.monitor->WriteMonitorBlock(monitorBlock.data(), deemphasis, true);
        }
      }
      state.CallAudioOpen = true;
      state.CallAudioClosed = false;
    }
    if (state.WaveOutput && services.monitor != nullptr) {
      services.monitor->WriteMonitorBlock(monitorBlock.data(), deemphasis, false);
    }
  } else {
    if (!state.CallAudioClosed && !state.WaveOutput && services.receiver != nullptr) {
      services.receiver->SetReceiverVolume(0);
    }
    state.CallAudioClosed = true;
  }

  state.Panel4 = state.OnControlChannel ? Colour::kBlack : Colour::kYellow;
}

}  // namespace tarvo
