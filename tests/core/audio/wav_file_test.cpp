#include "core/audio/wav_file.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "support/wav_writer.h"

namespace tarvo::testing {
namespace {

const std::vector<std::int16_t> kSamples = {0, -1, 32767, -32768, 1234, -4321};

std::string Error(const std::vector<std::uint8_t>& bytes) {
  const auto result = ParseWav(bytes);
  return std::holds_alternative<std::string>(result) ? std::get<std::string>(result) : "";
}

TEST(WavFile, ReadsMonoAndStereoAtEveryRate) {
  TempDir dir;
  for (const int rate : {11025, 22050, 44100}) {
    for (const int channels : {1, 2}) {
      const std::string path = (dir.path() / "a.wav").string();
      WriteWavFile(path, rate, channels, kSamples);
      const auto result = ReadWavFile(path);
      ASSERT_TRUE(std::holds_alternative<WavRecording>(result)) << std::get<std::string>(result);
      const auto& wav = std::get<WavRecording>(result);
      EXPECT_EQ(wav.sampleRate, rate);
      EXPECT_EQ(wav.channels, channels);
      EXPECT_EQ(wav.samples, kSamples);
      EXPECT_FALSE(wav.truncated);
    }
  }
}

TEST(WavFile, BrokenFilesSayWhatIsWrong) {
  auto withByte = [](std::vector<std::uint8_t> bytes, std::size_t at, std::uint8_t value) {
    bytes[at] = value;
    return bytes;
  };
  const auto good = WavBytes(11025, 1, kSamples);
  struct Row {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::string error;
  };
  const Row rows[] = {
      {"empty", {}, "not a WAV file"},
      {"text", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'}, "not a WAV file"},
      {"RIFF of another kind", withByte(good, 8, 'A'), "not a WAV file"},
      {"8-bit", WavBytes(11025, 1, kSamples, 8), "not 16-bit PCM"},
      {"float", WavBytes(11025, 1, kSamples, 16, 3), "not 16-bit PCM"},
      {"48000 Hz", WavBytes(48000, 2, kSamples),
       "sample rate 48000 Hz not supported (11025, 22050 or 44100 Hz)"},
      {"8000 Hz", WavBytes(8000, 1, kSamples),
       "sample rate 8000 Hz not supported (11025, 22050 or 44100 Hz)"},
      {"three channels", WavBytes(11025, 3, kSamples), "not mono or stereo (3 channels)"},
      {"header only", std::vector<std::uint8_t>(good.begin(), good.begin() + 36), "no data chunk"},
  };
  for (const Row& row : rows) EXPECT_EQ(Error(row.bytes), row.error) << row.name;
}

TEST(WavFile, TruncatedDataKeepsTheWholeFramesItHolds) {
  auto bytes = WavBytes(22050, 2, kSamples);
  bytes.resize(bytes.size() - 5);  // one and a quarter frames missing
  const auto result = ParseWav(bytes);
  ASSERT_TRUE(std::holds_alternative<WavRecording>(result));
  const auto& wav = std::get<WavRecording>(result);
  EXPECT_TRUE(wav.truncated);
  EXPECT_EQ(wav.samples, std::vector<std::int16_t>(kSamples.begin(), kSamples.begin() + 2));
}

TEST(WavFile, SkipsOtherChunksBeforeTheData) {
  auto bytes = WavBytes(11025, 1, kSamples);
  // A LIST chunk of odd length (padded) between fmt and data.
  const std::vector<std::uint8_t> list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
  bytes.insert(bytes.begin() + 36, list.begin(), list.end());
  const auto result = ParseWav(bytes);
  ASSERT_TRUE(std::holds_alternative<WavRecording>(result));
  EXPECT_EQ(std::get<WavRecording>(result).samples, kSamples);
}

TEST(WavFile, MissingFileAndFolderAreReported) {
  TempDir dir;
  const auto missing = ReadWavFile((dir.path() / "none.wav").string());
  ASSERT_TRUE(std::holds_alternative<std::string>(missing));
  EXPECT_EQ(std::get<std::string>(missing), "cannot open: No such file or directory");
  const auto folder = ReadWavFile(dir.path().string());
  EXPECT_EQ(std::get<std::string>(folder), "is a directory");
}

}  // namespace
}  // namespace tarvo::testing
