#include "core/audio/monitor_routing.h"

#include "core/audio/monitor_output.h"
#include "core/radio/receiver.h"

namespace tarvo {

void MonitorRouting::EnableControlsForRouting() {
  const bool wave = state_.WaveOutput;
  state_.TrackBar3.enabled = wave;
  state_.CheckBox2.enabled = wave;
  state_.CheckBox4.enabled = wave;
  state_.CheckBox5.enabled = wave;
  state_.TrackBar2.enabled = !wave;
}

bool MonitorRouting::AudioActive() const {
  return state_.MonitorOn || state_.VoiceDetected || state_.JsmrOnLine;
}

void MonitorRouting::RadioButton1Click() {
  EnableControlsForRouting();
  if (!AudioActive()) return;
  services_.receiver->SetReceiverVolume(0);
  WriteSilentBlocks(*services_.monitor, state_.CheckBox2.checked);
}

void MonitorRouting::RadioButton2Click() {
  EnableControlsForRouting();
  if (!AudioActive()) return;
  WriteSilentBlocks(*services_.monitor, state_.CheckBox2.checked);
  services_.receiver->SetReceiverVolume(state_.TrackBar2.position);
}

void MonitorRouting::TrackBar2Change() {
  services_.receiver->SetReceiverVolume(state_.TrackBar2.position);
}

void MonitorRouting::TrackBar3Change() {
  state_.MonitorGain = MonitorGainFor(state_.TrackBar3.position);
}

void MonitorRouting::TrackBar4Change() {
  state_.ToneThreshold = static_cast<double>(state_.TrackBar4.position);
}

}  // namespace tarvo
