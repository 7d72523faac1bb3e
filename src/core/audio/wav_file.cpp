#include "core/audio/wav_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tarvo {
namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;

std::uint32_t Le32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint16_t Le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

bool IsId(const std::uint8_t* p, const char* id) {
  return std::memcmp(p, id, 4) == 0;
}

}  // namespace

std::variant<WavRecording, std::string> ParseWav(const std::vector<std::uint8_t>& bytes) {
  const std::size_t size = bytes.size();
  const std::uint8_t* b = bytes.data();
  if (size < 12 || !IsId(b, "RIFF") || !IsId(b + 8, "WAVE")) return std::string("not a WAV file");

  bool haveFormat = false;
  std::uint16_t format = 0;
  std::uint16_t channels = 0;
  std::uint32_t rate = 0;
  std::uint16_t bits = 0;
  std::size_t at = 12;
  while (at + 8 <= size) {
    const std::uint8_t* chunk = b + at;
    const std::uint32_t length = Le32(chunk + 4);
    const std::size_t body = at + 8;
    const std::size_t available = size - body;
    if (IsId(chunk, "fmt ")) {
      if (length < 16 || available < 16) return std::string("not a WAV file (short fmt chunk)");
      format = Le16(b + body);
      channels = Le16(b + body + 2);
      rate = Le32(b + body + 4);
      bits = Le16(b + body + 14);
      // The extensible form names its real format in the first two bytes of the sub-format.
      if (format == kFormatExtensible && length >= 40 && available >= 26) {
        format = Le16(b + body + 24);
      }
      haveFormat = true;
    } else if (IsId(chunk, "data")) {
      if (!haveFormat) return std::string("not a WAV file (data before fmt chunk)");
      if (format != kFormatPcm || bits != 16) return std::string("not 16-bit PCM");
      if (channels != 1 && channels != 2) {
        return "not mono or stereo (" + std::to_string(channels) + " channels)";
      }
      if (rate != 11025 && rate != 22050 && rate != 44100) {
        return "sample rate " + std::to_string(rate) +
               " Hz not supported (11025, 22050 or 44100 Hz)";
      }
      WavRecording recording;
      recording.sampleRate = static_cast<int>(rate);
      recording.channels = channels;
      std::size_t dataBytes = length;
      if (dataBytes > available) {
        dataBytes = available;
        recording.truncated = true;
      }
      const std::size_t frameBytes = 2u * channels;
      const std::size_t frames = dataBytes / frameBytes;
      recording.truncated = recording.truncated || frames * frameBytes != dataBytes;
      recording.samples.resize(frames * channels);
      for (std::size_t i = 0; i < recording.samples.size(); ++i) {
        recording.samples[i] = static_cast<std::int16_t>(Le16(b + body + 2 * i));
      }
      return recording;
    }
    // Chunks are padded to an even length.
    const std::size_t next = body + static_cast<std::size_t>(length) + (length & 1u);
    if (next <= at) break;
    at = next;
  }
  if (!haveFormat) return std::string("not a WAV file (no fmt chunk)");
  return std::string("no data chunk");
}

std::variant<WavRecording, std::string> ReadWavFile(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return std::string("is a directory");
  std::ifstream in(path, std::ios::binary);
  if (!in) return "cannot open: " + std::string(std::strerror(errno));
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  if (in.bad()) return std::string("cannot read");
  return ParseWav(bytes);
}

}  // namespace tarvo
