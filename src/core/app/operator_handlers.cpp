#include "core/app/operator_handlers.h"

#include <array>

#include "core/audio/monitor_sink.h"
#include "core/base/control_frequency.h"
#include "core/base/notice.h"
#include "core/base/tracking_events.h"
#include "core/radio/receiver.h"

namespace tarvo {
namespace {

constexpr int kIcomPcr = 1;  // its volume is left alone when the receiver is made audible
constexpr int kFlushBlocks = 4;

}  // namespace

OperatorHandlers::OperatorHandlers(MainState& state, Services services)
    : state_(state), services_(services) {}

bool OperatorHandlers::ControlFrequencyParses() {
  if (MegahertzValue(state_.ControlFrequencyText)) return true;
  ShowConversionError(*services_.notice, state_.ControlFrequencyText);
  return false;
}

bool OperatorHandlers::TuneToControlChannel() {
  if (!ControlFrequencyParses()) return false;
  services_.receiver->TuneReceiver(state_.ControlFrequencyText, state_.RadioModel);
  return true;
}

void OperatorHandlers::RestoreReceiverVolume() {
  if (!state_.WaveOutput && state_.RadioModel != kIcomPcr) {
    services_.receiver->SetReceiverVolume(state_.TrackBar2.position);
  }
}

void OperatorHandlers::ReportReturn(const char* reason, bool tuned) {
  if (services_.events == nullptr) return;
  services_.events->Returned(state_.Decoder, state_.ControlFrequencyText, reason, tuned);
}

void OperatorHandlers::SwitchTrackingOn(const char* reason) {
  state_.Timer1.SetInterval(0);
  state_.Timer2.SetInterval(0);
  state_.OnControlChannel = true;
  const std::string text = state_.ControlFrequencyText;
  if (state_.McAccessSelected()) {
    if (!DeriveChannelGrid(state_, text)) return ShowConversionError(*services_.notice, text);
  } else {
    const auto value = MegahertzValue(text);
    if (!value) return ShowConversionError(*services_.notice, text);
    state_.ControlFrequency = *value;
    DeriveChannelGrid(state_, text);
    state_.CallAudioOpen = false;
    state_.JsmrOnLine = false;
  }
  services_.receiver->TuneReceiver(text, state_.RadioModel);
  ReportReturn(reason);
  if (!state_.WaveOutput) services_.receiver->SetReceiverVolume(0);
}

void OperatorHandlers::SpeedButton1Click(bool down) {
  state_.TrackingOn = down;
  if (down) return SwitchTrackingOn("tracking-on");
  state_.Timer1.SetInterval(0);
  state_.Timer2.SetInterval(0);
  state_.OnControlChannel = true;
  ReportReturn("tracking-off", false);
  RestoreReceiverVolume();  // the receiver stays on whatever line it was following
}

void OperatorHandlers::SpeedButton2Click(bool down) {
  state_.MonitorOn = down;
  state_.CallAudioOpen = false;
  if (down) return;  // the decoders open the monitor path on their next block
  if (state_.WaveOutput) {
    std::array<double, kBlockSamples> silence{};
    for (int i = 0; i < kFlushBlocks; ++i) {
      services_.monitor->WriteMonitorBlock(silence.data(), state_.CheckBox2.checked, true);
    }
  } else {
    services_.receiver->SetReceiverVolume(0);
  }
}

void OperatorHandlers::Button3Click() {
  state_.OnControlChannel = true;
  if (!state_.McAccessSelected()) {
    state_.JsmrOnLine = false;
    state_.Label7 = "制御回線";
    state_.Label21 = kNoLineFrequency;
    state_.Label22 = "- / -";
    state_.Label28 = "- 分";
  }
  state_.Timer1.SetInterval(0);
  state_.Timer2.SetInterval(0);
  if (!TuneToControlChannel()) return;
  ReportReturn("forced");
  if (!state_.WaveOutput) services_.receiver->SetReceiverVolume(0);
}

void OperatorHandlers::CheckBox3Click(bool checked) {
  state_.CheckBox3.checked = checked;
  state_.DecoderPolarity = checked ? -1.0 : 1.0;
}

void OperatorHandlers::CheckBox15Click(bool checked) {
  state_.CheckBox15.checked = checked;
  const bool unlocked = !checked;
  state_.Edit2.enabled = unlocked;
  state_.Edit3.enabled = unlocked;
  state_.Edit4.enabled = unlocked;
  state_.CheckBox18.enabled = unlocked;
  state_.ComboBox4.enabled = unlocked;
  state_.Button7Enabled = unlocked;
  state_.Button8Enabled = unlocked;
  if (checked) state_.CheckBox18.checked = false;  // the pass list is out of use meanwhile
}

void OperatorHandlers::Button7Click() {
  state_.IdPassList.push_back(state_.Edit2.text);
  state_.ComboBox4.text = state_.Edit2.text;
}

void OperatorHandlers::Button8Click() {
  state_.IdPassList.clear();
  state_.ComboBox4.text = "----";
}

void OperatorHandlers::Edit3Click() {
  state_.Edit3.text = state_.Edit2.text;
}
void OperatorHandlers::Edit4Click() {
  state_.Edit4.text = state_.Edit2.text;
}
void OperatorHandlers::Edit3DblClick() {
  state_.Edit3.text = "---";
}
void OperatorHandlers::Edit4DblClick() {
  state_.Edit4.text = "---";
}

void OperatorHandlers::RadioButton3Click() {
  state_.Decoder = DecoderType::kMcAccess;
  DecoderSwitch();
}

void OperatorHandlers::RadioButton4Click() {
  state_.Decoder = DecoderType::kJsmr;
  DecoderSwitch();
}

void OperatorHandlers::DecoderSwitch() {
  state_.CheckBox3.enabled = !state_.McAccessSelected();
  if (state_.TrackingOn) return SwitchTrackingOn("decoder-switch");
  state_.OnControlChannel = true;
  ReportReturn("decoder-switch", false);
  RestoreReceiverVolume();
}

void OperatorHandlers::Timer1Timer() {
  if (state_.OnControlChannel) return;
  if (!TuneToControlChannel()) return;
  state_.OnControlChannel = true;
  state_.Timer2.SetInterval(0);
  ReportReturn("signal-lost");
}

void OperatorHandlers::Timer2Timer() {
  if (state_.OnControlChannel) return;
  if (!TuneToControlChannel()) return;
  state_.OnControlChannel = true;
  ReportReturn("call-time-limit");
}

void OperatorHandlers::CheckBox1Click(bool checked) {
  state_.CheckBox1.checked = checked;
  state_.AlwaysOnTop = checked;
}

void OperatorHandlers::Button5Click() {
  state_.FormHeight = state_.FormHeight == kFullHeight ? kCompactHeight : kFullHeight;
}

}  // namespace tarvo
