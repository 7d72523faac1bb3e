// Writing 16-bit PCM WAV files for tests and recordings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::testing {

// The bytes of a canonical 44-byte-header WAV file.
std::vector<std::uint8_t> WavBytes(int sampleRate, int channels,
                                   const std::vector<std::int16_t>& interleaved,
                                   int bitsPerSample = 16, int formatTag = 1);

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

void WriteWavFile(const std::string& path, int sampleRate, int channels,
                  const std::vector<std::int16_t>& interleaved);

}  // namespace tarvo::testing
