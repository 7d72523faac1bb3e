#include "core/dialogs/device_settings.h"

#include "core/base/clock.h"
#include "core/base/event_pump.h"
#include "core/radio/receiver.h"

namespace tarvo {

DeviceLists BuildDeviceLists(const std::vector<std::string>& inputNames,
                             const std::vector<std::string>& outputNames) {
  DeviceLists lists;
  lists.inputs.push_back("標準の入力デバイス");
  lists.inputs.insert(lists.inputs.end(), inputNames.begin(), inputNames.end());
  lists.outputs.push_back("標準の出力デバイス");
  lists.outputs.insert(lists.outputs.end(), outputNames.begin(), outputNames.end());
  return lists;
}

WindowPlace CentreOver(int ownerTop, int ownerLeft, int ownerHeight, int ownerWidth, int height,
                       int width, bool clamped) {
  WindowPlace place{ownerTop + ownerHeight / 2 - height / 2,
                    ownerLeft + ownerWidth / 2 - width / 2};
  if (clamped) {
    if (place.top < 0) place.top = 0;
    if (place.left < 0) place.left = 0;
  }
  return place;
}

void DeviceSettings::Button1Click(int inputItem, int outputItem, int rateItem) {
  if (inputItem == state_.InputDevice && outputItem == state_.OutputDevice &&
      rateItem == state_.SampleRateIndex) {
    return;
  }
  notice_.ShowNotice();
  services_.pump->ProcessPendingEvents();
  devices_.CloseCaptureInput();
  devices_.CloseMonitorOutput();
  state_.InputDevice = inputItem;
  state_.OutputDevice = outputItem;
  state_.SampleRateIndex = rateItem;
  // Give the sound server time to let go of the old devices.
  services_.clock->SleepMs(500);
  devices_.SelectCaptureRate();
  devices_.OpenMonitorOutput();
  devices_.OpenCaptureInput();
  state_.MonitorOn = false;
  if (state_.WaveOutput) services_.receiver->SetReceiverVolume(0);
  notice_.CloseNotice();
}

}  // namespace tarvo
