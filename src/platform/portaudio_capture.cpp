#include "platform/portaudio_capture.h"

#include <portaudio.h>

#include <cstdint>
#include <cstdio>

namespace tarvo {

PortAudioCapture::PortAudioCapture(std::function<void()> blockReady)
    : blockReady_(std::move(blockReady)) {}

PortAudioCapture::~PortAudioCapture() {
  Close();
}

bool PortAudioCapture::Open(int deviceIndex, int rate, int framesPerBlock, BlockRing& ring) {
  Close();
  if (!session_.Ok()) return false;
  const int device = PortAudioInputDevice(deviceIndex);
  if (device < 0) return false;
  PaStreamParameters in{};
  in.device = device;
  in.channelCount = 2;
  in.sampleFormat = paInt16;
  // About one block: left to itself a sound server may hand over seconds of audio at once.
  in.suggestedLatency = static_cast<double>(framesPerBlock) / rate;
  ring_ = &ring;
  PaStream* stream = nullptr;
  if (Pa_OpenStream(&stream, &in, nullptr, rate, framesPerBlock, paClipOff,
                    &PortAudioCapture::Callback, this) != paNoError) {
    ring_ = nullptr;
    return false;
  }
  if (Pa_StartStream(stream) != paNoError) {
    Pa_CloseStream(stream);
    ring_ = nullptr;
    return false;
  }
  stream_ = stream;
  if (const PaStreamInfo* info = Pa_GetStreamInfo(stream)) {
    std::fprintf(stderr, "tarvo: sound input latency %.1f ms (asked %.1f ms)\n",
                 info->inputLatency * 1000.0, in.suggestedLatency * 1000.0);
  }
  return true;
}

bool PortAudioCapture::Failed() {
  // An input stream only stops by itself when its device or the sound server has gone.
  return stream_ != nullptr && Pa_IsStreamActive(static_cast<PaStream*>(stream_)) != 1;
}

void PortAudioCapture::Close() {
  if (stream_ == nullptr) return;
  auto* stream = static_cast<PaStream*>(stream_);
  // Stopping waits for a running callback, so the ring is no longer written afterwards.
  Pa_StopStream(stream);
  Pa_CloseStream(stream);
  stream_ = nullptr;
  ring_ = nullptr;
}

int PortAudioCapture::Callback(const void* input, void*, unsigned long frames,
                               const PaStreamCallbackTimeInfo*, unsigned long, void* self) {
  auto* capture = static_cast<PortAudioCapture*>(self);
  if (input == nullptr || capture->ring_ == nullptr) return paContinue;
  const int completed =
      capture->ring_->Write(static_cast<const std::int16_t*>(input), static_cast<int>(2 * frames));
  for (int i = 0; i < completed; ++i) capture->blockReady_();
  return paContinue;
}

}  // namespace tarvo
