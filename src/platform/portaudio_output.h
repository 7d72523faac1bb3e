// The playback device through PortAudio: 16-bit stereo at 11025 frames per second, pulled by
// PortAudio's callback from a ring of 16 blocks; silence when the ring runs dry.
#pragma once

#include <cstdint>

#include "core/audio/block_ring.h"
#include "core/audio/sound_output_device.h"
#include "platform/portaudio_devices.h"

struct PaStreamCallbackTimeInfo;

namespace tarvo {

class PortAudioOutput : public SoundOutputDevice {
 public:
  PortAudioOutput() = default;
  ~PortAudioOutput() override;

  OpenResult Open(int deviceIndex) override;
  void QueueBlock(const std::int16_t* frames) override;
  void Close() override;

  std::int64_t DroppedSamples() const { return ring_.DroppedSamples(); }

 private:
  static int Callback(const void* input, void* output, unsigned long frames,
                      const PaStreamCallbackTimeInfo* time, unsigned long flags, void* self);

  PortAudioSession session_;
  void* stream_ = nullptr;
  BlockRing ring_;
};

}  // namespace tarvo
