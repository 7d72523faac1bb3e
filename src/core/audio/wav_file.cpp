#include "core/audio/wav_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tarvo {
namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
constexpr std::size_t kFormatBytesUsed = 26;  // up to the extensible form's sub-format

std::uint32_t Le32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint16_t Le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

bool IsId(const std::uint8_t* p, const char* id) {
  return std::memcmp(p, id, 4) == 0;
}

std::variant<WavRecording, std::string> ReadAll(std::istream& in) {
  WavReader reader(in);
  if (std::string problem = reader.ReadHeader(); !problem.empty()) return problem;
  WavRecording recording;
  recording.sampleRate = reader.SampleRate();
  recording.channels = reader.Channels();
  constexpr std::size_t kFrames = 4096;
  std::vector<std::int16_t> block(kFrames * 2);
  while (const std::size_t frames = reader.ReadFrames(block.data(), kFrames)) {
    const auto end = block.begin() + static_cast<std::ptrdiff_t>(frames * recording.channels);
    recording.samples.insert(recording.samples.end(), block.begin(), end);
  }
  recording.truncated = reader.Truncated();
  return recording;
}

}  // namespace

bool WavReader::ReadExactly(std::uint8_t* into, std::size_t count) {
  in_.read(reinterpret_cast<char*>(into), static_cast<std::streamsize>(count));
  return static_cast<std::size_t>(in_.gcount()) == count;
}

// By reading, not seeking: standard input may be a pipe.
bool WavReader::Skip(std::uint64_t count) {
  char scratch[4096];
  while (count > 0) {
    const std::size_t step =
        static_cast<std::size_t>(std::min<std::uint64_t>(count, sizeof scratch));
    in_.read(scratch, static_cast<std::streamsize>(step));
    if (static_cast<std::size_t>(in_.gcount()) != step) return false;
    count -= step;
  }
  return true;
}

std::string WavReader::ReadHeader() {
  std::uint8_t riff[12];
  if (!ReadExactly(riff, sizeof riff) || !IsId(riff, "RIFF") || !IsId(riff + 8, "WAVE")) {
    return "not a WAV file";
  }
  bool haveFormat = false;
  std::uint16_t format = 0;
  std::uint16_t channels = 0;
  std::uint32_t rate = 0;
  std::uint16_t bits = 0;
  std::uint8_t chunk[8];
  while (ReadExactly(chunk, sizeof chunk)) {
    const std::uint32_t length = Le32(chunk + 4);
    const std::uint64_t padded = static_cast<std::uint64_t>(length) + (length & 1u);
    if (IsId(chunk, "fmt ")) {
      std::uint8_t body[kFormatBytesUsed] = {};
      const std::size_t wanted = std::min<std::size_t>(length, sizeof body);
      const bool whole = ReadExactly(body, wanted);
      if (length < 16 || (!whole && static_cast<std::size_t>(in_.gcount()) < 16)) {
        return "not a WAV file (short fmt chunk)";
      }
      format = Le16(body);
      channels = Le16(body + 2);
      rate = Le32(body + 4);
      bits = Le16(body + 14);
      // The extensible form names its real format in the first two bytes of the sub-format.
      if (format == kFormatExtensible && length >= 40 && whole) format = Le16(body + 24);
      haveFormat = true;
      if (!whole || !Skip(padded - wanted)) break;
    } else if (IsId(chunk, "data")) {
      if (!haveFormat) return "not a WAV file (data before fmt chunk)";
      if (format != kFormatPcm || bits != 16) return "not 16-bit PCM";
      if (channels != 1 && channels != 2) {
        return "not mono or stereo (" + std::to_string(channels) + " channels)";
      }
      if (rate != 11025 && rate != 22050 && rate != 44100) {
        return "sample rate " + std::to_string(rate) +
               " Hz not supported (11025, 22050 or 44100 Hz)";
      }
      sampleRate_ = static_cast<int>(rate);
      channels_ = channels;
      declaredBytes_ = length;
      dataBytesLeft_ = length;
      return {};
    } else if (!Skip(padded)) {
      break;
    }
  }
  if (!haveFormat) return "not a WAV file (no fmt chunk)";
  return "no data chunk";
}

std::size_t WavReader::ReadFrames(std::int16_t* out, std::size_t maxFrames) {
  if (channels_ == 0) return 0;
  const std::size_t frameBytes = 2u * static_cast<std::size_t>(channels_);
  const std::size_t wanted = static_cast<std::size_t>(
      std::min<std::uint64_t>(dataBytesLeft_, static_cast<std::uint64_t>(maxFrames) * frameBytes));
  if (wanted == 0) {
    if (dataBytesLeft_ > 0) truncated_ = true;  // less than a frame was declared
    return 0;
  }
  if (bytes_.size() < wanted) bytes_.resize(wanted);
  in_.read(reinterpret_cast<char*>(bytes_.data()), static_cast<std::streamsize>(wanted));
  const std::size_t got = static_cast<std::size_t>(in_.gcount());
  dataBytesRead_ += got;
  dataBytesLeft_ -= got;
  if (got < wanted) {
    dataBytesLeft_ = 0;  // the file ended early
    truncated_ = true;
  }
  const std::size_t frames = got / frameBytes;
  if (frames * frameBytes != got) truncated_ = true;
  for (std::size_t i = 0; i < frames * channels_; ++i) {
    out[i] = static_cast<std::int16_t>(Le16(bytes_.data() + 2 * i));
  }
  return frames;
}

std::variant<WavRecording, std::string> ReadWavFile(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return std::string("is a directory");
  std::ifstream in(path, std::ios::binary);
  if (!in) return "cannot open: " + std::string(std::strerror(errno));
  return ReadAll(in);
}

std::variant<WavRecording, std::string> ParseWav(const std::vector<std::uint8_t>& bytes) {
  std::istringstream in(std::string(bytes.begin(), bytes.end()), std::ios::binary);
  return ReadAll(in);
}

}  // namespace tarvo
