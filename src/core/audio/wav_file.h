// Reading 16-bit PCM WAV recordings (mono or stereo at 11025, 22050 or 44100 Hz) for offline
// decoding.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace tarvo {

struct WavRecording {
  int sampleRate = 0;
  int channels = 0;                   // 1 or 2
  std::vector<std::int16_t> samples;  // interleaved as in the file; whole frames only
  bool truncated = false;             // the data chunk promised more than the file holds
};

// The recording, or a short text saying what is wrong with the file ("cannot open: ...",
// "not a WAV file", "not 16-bit PCM", "sample rate 48000 Hz not supported", ...).
std::variant<WavRecording, std::string> ReadWavFile(const std::string& path);

// The same checks on a file already in memory.
std::variant<WavRecording, std::string> ParseWav(const std::vector<std::uint8_t>& bytes);

}  // namespace tarvo
