// The sound devices PortAudio offers, per direction and in PortAudio's order, and the
// PortAudio library kept initialised while anything uses it.
#pragma once

#include <string>
#include <vector>

namespace tarvo {

// Holds one PortAudio initialisation (PortAudio counts them) for as long as it lives.
class PortAudioSession {
 public:
  PortAudioSession();
  ~PortAudioSession();
  PortAudioSession(const PortAudioSession&) = delete;
  PortAudioSession& operator=(const PortAudioSession&) = delete;
  bool Ok() const { return ok_; }

 private:
  bool ok_ = false;
};

std::vector<std::string> PortAudioInputDeviceNames();
std::vector<std::string> PortAudioOutputDeviceNames();

// PortAudio's device number for a device setting: 0 is the default device of that direction,
// n the n-th device that has channels in that direction; -1 when there is no such device.
// Needs a live PortAudioSession.
int PortAudioInputDevice(int setting);
int PortAudioOutputDevice(int setting);

}  // namespace tarvo
