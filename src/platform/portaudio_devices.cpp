#include "platform/portaudio_devices.h"

#include <portaudio.h>

namespace tarvo {
namespace {

bool HasChannels(const PaDeviceInfo* info, bool input) {
  if (info == nullptr) return false;
  return (input ? info->maxInputChannels : info->maxOutputChannels) > 0;
}

std::vector<std::string> DeviceNames(bool input) {
  PortAudioSession session;
  std::vector<std::string> names;
  if (!session.Ok()) return names;
  const int count = Pa_GetDeviceCount();
  for (int i = 0; i < count; ++i) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
    if (HasChannels(info, input)) names.emplace_back(info->name != nullptr ? info->name : "");
  }
  return names;
}

int DeviceFor(int setting, bool input) {
  if (setting == 0) {
    const PaDeviceIndex d = input ? Pa_GetDefaultInputDevice() : Pa_GetDefaultOutputDevice();
    return d == paNoDevice ? -1 : d;
  }
  if (setting < 0) return -1;
  const int count = Pa_GetDeviceCount();
  int seen = 0;
  for (int i = 0; i < count; ++i) {
    if (HasChannels(Pa_GetDeviceInfo(i), input) && ++seen == setting) return i;
  }
  return -1;
}

}  // namespace

PortAudioSession::PortAudioSession() : ok_(Pa_Initialize() == paNoError) {}

PortAudioSession::~PortAudioSession() {
  if (ok_) Pa_Terminate();
}

std::vector<std::string> PortAudioInputDeviceNames() {
  return DeviceNames(true);
}
std::vector<std::string> PortAudioOutputDeviceNames() {
  return DeviceNames(false);
}
int PortAudioInputDevice(int setting) {
  return DeviceFor(setting, true);
}
int PortAudioOutputDevice(int setting) {
  return DeviceFor(setting, false);
}

}  // namespace tarvo
