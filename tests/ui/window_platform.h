// What the window tests hand the core, as the program does: the Qt event pump and return timers
// over a recording world, with the settings in a folder of the test's own; and, for tests on a
// real sound server, PortAudio's input and output posting blocks to the window thread.
#pragma once

#include <QApplication>
#include <filesystem>

#include "core/app/file_locations.h"
#include "core/app/tarvo_core.h"
#include "support/recorders.h"
#include "ui/qt_seams.h"
#if TARVO_HAVE_PORTAUDIO
#include "platform/portaudio_capture.h"
#include "platform/portaudio_output.h"
#endif

namespace tarvo::testing {

struct WindowPlatform {
  WindowPlatform(RecordingWorld& world, const std::filesystem::path& folder) {
    platform.notice = &world.notice;
    platform.pump = &pump;
    platform.clock = &world.clock;
    platform.timer1 = &timer1;
    platform.timer2 = &timer2;
    platform.files = FilesBesideProgram(folder / "tarvo");
  }
  WindowPlatform(const WindowPlatform&) = delete;
  WindowPlatform& operator=(const WindowPlatform&) = delete;

  QtEventPump pump;
  QtTimerDriver timer1;
  QtTimerDriver timer2;
  Platform platform;
};

#if TARVO_HAVE_PORTAUDIO
// The sound card through PortAudio; each block runs on the window thread in target's core.
struct LiveSoundDevices {
  explicit LiveSoundDevices(Platform& platform) {
    platform.capture = &capture;
    platform.soundOutput = &output;
  }
  LiveSoundDevices(const LiveSoundDevices&) = delete;
  LiveSoundDevices& operator=(const LiveSoundDevices&) = delete;

  TarvoCore* target = nullptr;
  PortAudioCapture capture{[this] {
    QMetaObject::invokeMethod(
        qApp, [this] { target->OnBlockReady(); }, Qt::QueuedConnection);
  }};
  PortAudioOutput output;
};
#endif

}  // namespace tarvo::testing
