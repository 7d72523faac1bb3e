#include "support/wav_writer.h"

#include <fstream>
#include <stdexcept>

namespace tarvo::testing {
namespace {

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutId(std::vector<std::uint8_t>& out, const char* id) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(id[i]));
}

}  // namespace

std::vector<std::uint8_t> WavBytes(int sampleRate, int channels,
                                   const std::vector<std::int16_t>& interleaved, int bitsPerSample,
                                   int formatTag) {
  const std::uint32_t dataBytes = static_cast<std::uint32_t>(interleaved.size() * 2);
  const int blockAlign = channels * bitsPerSample / 8;
  std::vector<std::uint8_t> out;
  PutId(out, "RIFF");
  Put32(out, 36 + dataBytes);
  PutId(out, "WAVE");
  PutId(out, "fmt ");
  Put32(out, 16);
  Put16(out, formatTag);
  Put16(out, channels);
  Put32(out, sampleRate);
  Put32(out, sampleRate * blockAlign);
  Put16(out, blockAlign);
  Put16(out, bitsPerSample);
  PutId(out, "data");
  Put32(out, dataBytes);
  for (const std::int16_t s : interleaved) Put16(out, static_cast<std::uint16_t>(s));
  return out;
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

void WriteWavFile(const std::string& path, int sampleRate, int channels,
                  const std::vector<std::int16_t>& interleaved) {
  WriteBytes(path, WavBytes(sampleRate, channels, interleaved));
}

}  // namespace tarvo::testing
