#include "platform/portaudio_devices.h"

#include <portaudio.h>
#if TARVO_HAVE_ALSA
#include <alsa/error.h>
#endif
#if TARVO_HAVE_JACK
#include <jack/jack.h>
#endif

namespace tarvo {
namespace {

#if TARVO_HAVE_ALSA
void DropAlsaMessage(const char*, int, const char*, int, const char*, ...) {}
#endif
#if TARVO_HAVE_JACK
void DropJackMessage(const char*) {}
#endif

// PortAudio's first initialisation tries every ALSA device the configuration names and asks for
// a JACK server; each miss prints lines on stderr (about a hundred on an ordinary desktop), and
// JACK's notes go to stdout, where tarvo-track's events are. What matters is reported from the
// result, so the libraries are quiet while it runs.
bool QuietInitialize() {
#if TARVO_HAVE_ALSA
  snd_lib_error_set_handler(DropAlsaMessage);
#endif
#if TARVO_HAVE_JACK
  jack_set_error_function(DropJackMessage);
  jack_set_info_function(DropJackMessage);
#endif
  const bool ok = Pa_Initialize() == paNoError;
#if TARVO_HAVE_JACK
  jack_set_info_function(nullptr);
  jack_set_error_function(nullptr);
#endif
#if TARVO_HAVE_ALSA
  snd_lib_error_set_handler(nullptr);
#endif
  return ok;
}

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

PortAudioSession::PortAudioSession() : ok_(QuietInitialize()) {}

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
