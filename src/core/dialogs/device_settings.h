// The device settings dialog's behaviour: its three lists and the apply that re-opens both
// sound devices with the chosen input, output and capture rate.
#pragma once

#include <string>
#include <vector>

#include "core/audio/sound_device_control.h"
#include "core/base/main_state.h"
#include "core/base/services.h"

namespace tarvo {

inline const std::vector<std::string> kSampleRateItems = {"11.025kHz 16bit", "22.050kHz 16bit",
                                                          "44.100kHz 16bit"};

// The notice window "入力デバイス選択" shown while the devices are re-opened.
class DeviceNoticeView {
 public:
  virtual ~DeviceNoticeView() = default;
  virtual void ShowNotice() = 0;
  virtual void CloseNotice() = 0;
};

struct DeviceLists {
  std::vector<std::string> inputs;   // ComboBox1: the default device, then the input devices
  std::vector<std::string> outputs;  // ComboBox2: the default device, then the output devices
  std::vector<std::string> rates = kSampleRateItems;  // ComboBox3
};

// Item 0 of each device list stands for the system's default device.
DeviceLists BuildDeviceLists(const std::vector<std::string>& inputNames,
                             const std::vector<std::string>& outputNames);

struct WindowPlace {
  int top;
  int left;
};

// Centres a window of the given size over its owner; clamped keeps it off negative coordinates.
WindowPlace CentreOver(int ownerTop, int ownerLeft, int ownerHeight, int ownerWidth, int height,
                       int width, bool clamped);

class DeviceSettings {
 public:
  DeviceSettings(MainState& state, Services services, SoundDeviceControl& devices,
                 DeviceNoticeView& notice)
      : state_(state), services_(services), devices_(devices), notice_(notice) {}

  // "OK" with the item indexes of the three lists (-1 where typed text matches no item). When
  // they equal the current settings nothing is touched; otherwise both devices are re-opened,
  // the monitor button released and, with WAVE output, the receiver muted. The view closes the
  // dialog afterwards.
  void Button1Click(int inputItem, int outputItem, int rateItem);

 private:
  MainState& state_;
  Services services_;
  SoundDeviceControl& devices_;
  DeviceNoticeView& notice_;
};

}  // namespace tarvo
