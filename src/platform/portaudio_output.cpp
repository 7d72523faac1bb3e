#include "platform/portaudio_output.h"

#include <portaudio.h>

#include <algorithm>
#include <new>

#include "core/audio/monitor_sink.h"

namespace tarvo {

PortAudioOutput::~PortAudioOutput() {
  Close();
}

SoundOutputDevice::OpenResult PortAudioOutput::Open(int deviceIndex) {
  Close();
  if (!session_.Ok()) return OpenResult::kFailedOpen;
  const int device = PortAudioOutputDevice(deviceIndex);
  if (device < 0) return OpenResult::kFailedOpen;
  try {
    ring_.Reset(kOutputSlots, 2 * kBlockSamples);
  } catch (const std::bad_alloc&) {
    return OpenResult::kFailedBuffers;
  }
  PaStreamParameters out{};
  out.device = device;
  out.channelCount = 2;
  out.sampleFormat = paInt16;
  const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
  // Listening tolerates delay better than gaps.
  out.suggestedLatency = std::max(info != nullptr ? info->defaultHighOutputLatency : 0.0,
                                  2.0 * kBlockSamples / kOutputRate);
  PaStream* stream = nullptr;
  if (Pa_OpenStream(&stream, nullptr, &out, kOutputRate, kBlockSamples, paClipOff,
                    &PortAudioOutput::Callback, this) != paNoError) {
    return OpenResult::kFailedOpen;
  }
  if (Pa_StartStream(stream) != paNoError) {
    Pa_CloseStream(stream);
    return OpenResult::kFailedBuffers;
  }
  stream_ = stream;
  return OpenResult::kOk;
}

void PortAudioOutput::QueueBlock(const std::int16_t* frames) {
  if (stream_ == nullptr) return;
  ring_.Write(frames, 2 * kBlockSamples);
}

void PortAudioOutput::Close() {
  if (stream_ == nullptr) return;
  auto* stream = static_cast<PaStream*>(stream_);
  Pa_AbortStream(stream);
  Pa_CloseStream(stream);
  stream_ = nullptr;
}

int PortAudioOutput::Callback(const void*, void* output, unsigned long frames,
                              const PaStreamCallbackTimeInfo*, unsigned long, void* self) {
  auto* device = static_cast<PortAudioOutput*>(self);
  device->ring_.Read(static_cast<std::int16_t*>(output), static_cast<int>(2 * frames));
  return paContinue;
}

}  // namespace tarvo
