// Both sound devices as start-up, the device dialog and shutdown open and close them.
#pragma once

namespace tarvo {

class SoundDeviceControl {
 public:
  virtual ~SoundDeviceControl() = default;
  // Capture rate and buffer length from SampleRateIndex; before every OpenCaptureInput.
  virtual void SelectCaptureRate() = 0;
  virtual void OpenCaptureInput() = 0;
  virtual void CloseCaptureInput() = 0;
  virtual void OpenMonitorOutput() = 0;
  virtual void CloseMonitorOutput() = 0;
};

}  // namespace tarvo
