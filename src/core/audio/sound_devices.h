// The program's two sound devices together: the capture input at the selected rate and the
// monitor output.
#pragma once

#include "core/audio/capture_front_end.h"
#include "core/audio/capture_input.h"
#include "core/audio/monitor_output.h"
#include "core/audio/sound_device_control.h"
#include "core/base/main_state.h"

namespace tarvo {

class SoundDevices : public SoundDeviceControl {
 public:
  SoundDevices(MainState& state, CaptureInput& capture, MonitorOutput& monitor)
      : state_(state), capture_(capture), monitor_(monitor) {}

  void SelectCaptureRate() override { format_ = tarvo::SelectCaptureRate(state_.SampleRateIndex); }
  void OpenCaptureInput() override {
    capture_.OpenCaptureInput(format_.CaptureRate, format_.CaptureFrames);
  }
  void CloseCaptureInput() override { capture_.CloseCaptureInput(); }
  void OpenMonitorOutput() override { monitor_.OpenMonitorOutput(); }
  void CloseMonitorOutput() override { monitor_.CloseMonitorOutput(); }

  const CaptureFormat& Format() const { return format_; }

 private:
  MainState& state_;
  CaptureInput& capture_;
  MonitorOutput& monitor_;
  CaptureFormat format_;
};

}  // namespace tarvo
