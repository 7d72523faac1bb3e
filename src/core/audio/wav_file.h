// Reading 16-bit PCM WAV recordings (mono or stereo at 11025, 22050 or 44100 Hz) for offline
// decoding: the header is checked first, then the samples are read block by block from a file or
// a pipe, so a recording of any length needs only a block of memory.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <variant>
#include <vector>

namespace tarvo {

class WavReader {
 public:
  // Reads nothing yet; the stream must outlive the reader.
  explicit WavReader(std::istream& in) : in_(in) {}

  // Reads the header up to the first sample. Empty when the recording can be decoded, else a
  // short text saying what is wrong ("not a WAV file", "not 16-bit PCM",
  // "sample rate 48000 Hz not supported (11025, 22050 or 44100 Hz)", ...).
  std::string ReadHeader();

  int SampleRate() const { return sampleRate_; }
  int Channels() const { return channels_; }  // 1 or 2
  // The length of the sample data as the header declares it.
  std::uint32_t DeclaredDataBytes() const { return declaredBytes_; }

  // Reads up to maxFrames whole frames, interleaved as in the file; fewer only at the end of the
  // data (0 once it is over).
  std::size_t ReadFrames(std::int16_t* out, std::size_t maxFrames);

  // Once the data is over: it ended before its declared length, or in the middle of a frame.
  bool Truncated() const { return truncated_; }
  // The bytes of sample data read so far.
  std::uint64_t DataBytesRead() const { return dataBytesRead_; }

 private:
  bool ReadExactly(std::uint8_t* into, std::size_t count);
  bool Skip(std::uint64_t count);

  std::istream& in_;
  int sampleRate_ = 0;
  int channels_ = 0;
  std::uint32_t declaredBytes_ = 0;
  std::uint64_t dataBytesLeft_ = 0;
  std::uint64_t dataBytesRead_ = 0;
  bool truncated_ = false;
  std::vector<std::uint8_t> bytes_;  // grows to the largest block asked for, once
};

struct WavRecording {
  int sampleRate = 0;
  int channels = 0;                   // 1 or 2
  std::vector<std::int16_t> samples;  // interleaved as in the file; whole frames only
  bool truncated = false;             // the data chunk promised more than the file holds
};

// A whole (short) recording in memory, or what is wrong with it ("cannot open: ...").
std::variant<WavRecording, std::string> ReadWavFile(const std::string& path);
std::variant<WavRecording, std::string> ParseWav(const std::vector<std::uint8_t>& bytes);

}  // namespace tarvo
