// The recording device through PortAudio: 16-bit stereo into the capture ring, one block per
// PortAudio buffer, each completed block announced to the window thread.
#pragma once

#include <functional>

#include "core/audio/capture_device.h"
#include "platform/portaudio_devices.h"

struct PaStreamCallbackTimeInfo;

namespace tarvo {

class PortAudioCapture : public CaptureDevice {
 public:
  // blockReady runs on PortAudio's audio thread once per completed block; it must only post
  // a notification to the window thread.
  explicit PortAudioCapture(std::function<void()> blockReady);
  ~PortAudioCapture() override;

  bool Open(int deviceIndex, int rate, int framesPerBlock, BlockRing& ring) override;
  void Close() override;
  bool Failed() override;

 private:
  static int Callback(const void* input, void* output, unsigned long frames,
                      const PaStreamCallbackTimeInfo* time, unsigned long flags, void* self);

  PortAudioSession session_;
  std::function<void()> blockReady_;
  void* stream_ = nullptr;
  BlockRing* ring_ = nullptr;
};

}  // namespace tarvo
