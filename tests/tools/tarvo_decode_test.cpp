#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/jsmr_modulator.h"
#include "support/mcaccess_modulator.h"
#include "support/mcaccess_words.h"
#include "support/temp_dir.h"
#include "support/tool_run.h"
#include "support/wav_writer.h"

namespace tarvo::testing {
namespace {

ToolResult RunDecode(const TempDir& dir, const std::string& args) {
  return RunTool(dir, "tarvo-decode", args);
}

std::vector<McAccessWord> SampleWords() {
  std::vector<McAccessWord> words = {
      MakeMcAccessWord({.station = 0x2F, .type = 0x20, .id = 0x1A7, .channel = 41}),
      MakeMcAccessWord({.station = 0x05, .type = 0x00, .callTimeCode = 5}),
  };
  std::mt19937 random(33);
  for (int n = 0; n < 3; ++n) words.push_back(RandomMcAccessWord(random));
  return words;
}

std::string Hex2(const McAccessWord& word, int first) {
  int value = 0;
  for (int i = 0; i < 6; ++i) value = value * 2 + word[first + i];
  char text[8];
  std::snprintf(text, sizeof text, "%02X", value);
  return text;
}

// The start of the line printed for a word, from "decoder" to the type; the fields its type
// carries follow.
std::string ExpectedHead(const McAccessWord& word) {
  return "\"decoder\":\"mcaccess\",\"bits\":\"" + WordText(word) + "\",\"station\":\"" +
         Hex2(word, 4) + "\",\"type\":\"" + Hex2(word, 12) + "\"";
}

bool StartsWithHead(const std::string& tail, const McAccessWord& word) {
  const std::string head = ExpectedHead(word);
  return tail.rfind(head, 0) == 0 && tail.size() > head.size() &&
         (tail[head.size()] == ',' || tail[head.size()] == '}');
}

// Splits {"t":1.234,<tail>} into the time and the tail.
std::pair<double, std::string> SplitLine(const std::string& line) {
  const std::string head = "{\"t\":";
  if (line.rfind(head, 0) != 0) return {-1.0, line};
  const std::size_t comma = line.find(',');
  return {std::stod(line.substr(head.size(), comma - head.size())), line.substr(comma + 1)};
}

// Left-channel stereo from the modulator, as mono (left only) or with the signal on one side.
std::vector<std::int16_t> Channels(const std::vector<std::int16_t>& stereo, int channels,
                                   bool left) {
  if (channels == 2) return stereo;
  std::vector<std::int16_t> mono;
  for (std::size_t i = 0; i < stereo.size(); i += 2) mono.push_back(stereo[i + (left ? 0 : 1)]);
  return mono;
}

TEST(TarvoDecode, PrintsEveryFrameOfARecordingAtEveryRateAndChannel) {
  TempDir dir;
  const auto words = SampleWords();
  struct Row {
    int rate;
    int channels;
    bool left;
  };
  const Row rows[] = {{11025, 2, true}, {11025, 2, false}, {22050, 2, true}, {22050, 2, false},
                      {44100, 2, true}, {44100, 2, false}, {11025, 1, true}, {44100, 1, true}};
  for (const Row row : rows) {
    ModulatorOptions options;
    options.sampleRate = row.rate;
    options.leftChannel = row.left;
    const auto stereo = ModulateFrames(words, options, 150);
    const std::string path = (dir.path() / "rec.wav").string();
    WriteWavFile(path, row.rate, row.channels, Channels(stereo, row.channels, row.left));
    // A mono recording feeds both channels, so either choice decodes it.
    const std::string channel = row.left == (row.channels == 2) ? "left" : "right";
    const ToolResult result = RunDecode(dir, "--channel " + channel + " " + Quote(path));
    const std::string name =
        std::to_string(row.rate) + "/" + std::to_string(row.channels) + "/" + channel;
    EXPECT_EQ(result.status, 0) << name;
    EXPECT_TRUE(result.err.empty()) << name;
    ASSERT_EQ(result.out.size(), words.size()) << name;
    double lastT = 0.0;
    for (std::size_t n = 0; n < words.size(); ++n) {
      const auto [t, tail] = SplitLine(result.out[n]);
      EXPECT_PRED2(StartsWithHead, tail, words[n]) << name;
      // The frame ends (150 + 160 (n + 1)) bits in; its block ends within 0.06 s of that.
      const double frameEnd = (150.0 + 160.0 * (n + 1)) / 1200.0;
      EXPECT_GE(t, frameEnd) << name << " frame " << n;
      EXPECT_LE(t, frameEnd + 0.06 + 512 / 11025.0) << name << " frame " << n;
      EXPECT_GT(t, lastT);
      lastT = t;
    }
  }
}

TEST(TarvoDecode, AddsTheFieldsEachMessageTypeCarries) {
  struct Row {
    McAccessWordFields word;
    std::string fields;  // after the type, as printed with the default and a 6.25 kHz control
    std::string offGridFields;
  };
  const Row rows[] = {
      {{.type = 0x20, .id = 0x1A7, .offset = true, .channel = 41},
       R"(,"id":"1A7","line":"851.01250","linetype":"VOICE")",
       R"(,"id":"1A7","line":"851.01875","linetype":"VOICE")"},
      {{.type = 0x20, .lineTypeCode = 3, .id = 0x00F, .channel = 1},
       R"(,"id":"00F","line":"850.02500","linetype":"DIGIT")",
       R"(,"id":"00F","line":"850.02500","linetype":"DIGIT")"},
      {{.type = 0x20, .lineTypeCode = 2, .id = 0x3FF, .channel = 511},
       R"(,"id":"3FF","line":"862.77500","linetype":"-----")",
       R"(,"id":"3FF","line":"862.77500","linetype":"-----")"},
      {{.type = 0x00, .callTimeCode = 0b011}, R"(,"minutes":0)", R"(,"minutes":0)"},
      {{.type = 0x00, .callTimeCode = 0b101}, R"(,"minutes":3)", R"(,"minutes":3)"},
      {{.type = 0x00, .callTimeCode = 0b011}, R"(,"minutes":3)", R"(,"minutes":3)"},
      {{.type = 0x28, .offset = true, .channel = 2},
       R"(,"line":"850.03750")",
       R"(,"line":"850.04375")"},
      {{.type = 0x30, .control = true, .channel = 80},
       R"(,"line":"852.00000","control":true)",
       R"(,"line":"852.00000","control":true)"},
      {{.type = 0x33, .offset = true, .channel = 0},
       R"(,"line":"849.98750")",
       R"(,"line":"849.99375")"},
      {{.type = 0x39, .firstMap = 0x8001, .secondMap = 0x3FFFFF},
       R"(,"calls":2,"transmissions":22)",
       R"(,"calls":2,"transmissions":22)"},
      {{.type = 0x10, .control = true}, R"(,"control":true)", R"(,"control":true)"},
      {{.type = 0x08}, "", ""},
      {{.type = 0x21, .id = 0x1A7, .channel = 41}, "", ""},
  };
  std::vector<McAccessWord> words;
  for (const Row& row : rows) words.push_back(MakeMcAccessWord(row.word));
  TempDir dir;
  const std::string path = (dir.path() / "rec.wav").string();
  WriteWavFile(path, 11025, 2, ModulateFrames(words, {}));
  const std::pair<std::string, std::string Row::*> runs[] = {
      {"", &Row::fields},
      {"--control 850.00000 ", &Row::fields},
      {"--control 850.00625 ", &Row::offGridFields},
  };
  for (const auto& [options, expected] : runs) {
    SCOPED_TRACE(options);
    const ToolResult result = RunDecode(dir, options + Quote(path));
    EXPECT_EQ(result.status, 0);
    ASSERT_EQ(result.out.size(), words.size());
    for (std::size_t n = 0; n < words.size(); ++n) {
      EXPECT_EQ(SplitLine(result.out[n]).second, ExpectedHead(words[n]) + rows[n].*expected + "}")
          << "row " << n;
    }
  }
}

TEST(TarvoDecode, WrongChannelOfAStereoRecordingPrintsNothing) {
  TempDir dir;
  const std::string path = (dir.path() / "rec.wav").string();
  WriteWavFile(path, 22050, 2, ModulateFrames(SampleWords(), {.sampleRate = 22050}));
  const ToolResult result = RunDecode(dir, "--channel right --gain 6 " + Quote(path));
  EXPECT_EQ(result.status, 0);
  EXPECT_TRUE(result.out.empty());
}

TEST(TarvoDecode, TruncatedRecordingDecodesTheFramesItHolds) {
  TempDir dir;
  const auto words = SampleWords();
  auto bytes = WavBytes(11025, 2, ModulateFrames(words, {}, 150));
  // Cut in the middle of the fourth frame: 150 + 160 * 3.5 bits.
  const std::size_t keepFrames = (150 + 160 * 7 / 2) * 11025 / 1200;
  bytes.resize(44 + 4 * keepFrames + 1);
  const std::string path = (dir.path() / "cut.wav").string();
  WriteBytes(path, bytes);
  for (const std::string& input : {Quote(path), "- <" + Quote(path)}) {
    const ToolResult result = RunDecode(dir, input);
    EXPECT_EQ(result.status, 0);
    ASSERT_EQ(result.out.size(), 3u) << input;
    for (int n = 0; n < 3; ++n)
      EXPECT_PRED2(StartsWithHead, SplitLine(result.out[n]).second, words[n]);
    // Said once, with what was promised and what was there.
    ASSERT_EQ(result.err.size(), 1u) << input;
    const std::string held = std::to_string(4 * keepFrames + 1);
    EXPECT_NE(result.err[0].find(" holds " + held), std::string::npos) << result.err[0];
  }
}

TEST(TarvoDecode, ReadsTheRecordingFromStandardInput) {
  TempDir dir;
  const auto words = SampleWords();
  const std::string path = (dir.path() / "calls.wav").string();
  WriteBytes(path, WavBytes(11025, 2, ModulateFrames(words, {}, 150)));
  const ToolResult fromFile = RunDecode(dir, Quote(path));
  ASSERT_EQ(fromFile.out.size(), words.size());
  // Through a pipe, which cannot seek.
  const ToolResult piped = RunDecode(
      dir, "--help >/dev/null; cat " + Quote(path) + " | \"$TARVO_TEST_TOOLS/tarvo-decode\" -");
  EXPECT_EQ(piped.status, 0);
  EXPECT_EQ(piped.out, fromFile.out);
}

TEST(TarvoDecode, WriteErrorOnStandardOutputIsReportedWithStatusTwo) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  TempDir dir;
  const std::string path = (dir.path() / "calls.wav").string();
  WriteBytes(path, WavBytes(11025, 2, ModulateFrames(SampleWords(), {}, 150)));
  // The inner redirection wins over the one that collects the output.
  const ToolResult result =
      RunDecode(dir, "--help >/dev/null; (\"$TARVO_TEST_TOOLS/tarvo-decode\" " + Quote(path) +
                         " >/dev/full)");
  EXPECT_EQ(result.status, 2);
  ASSERT_EQ(result.err.size(), 1u);
  EXPECT_NE(result.err[0].find("standard output"), std::string::npos) << result.err[0];
}

struct JsmrSample {
  JsmrFields fields;
  const char* id;
  const char* station;
  const char* line;  // beside control channel 850.00000; nullptr: none
};
const JsmrSample kJsmrSamples[] = {
    {{0x1F, 0x2A, 0, 17}, "1F", "2A", "850.42500"},  {{0x42, 0x07, 1, 0}, "42", "07", "850.00000"},
    {{0xA5, 0xF0, 0, 719}, "A5", "F0", "867.97500"}, {{0x03, 0x9C, 1, 720}, "03", "9C", nullptr},
    {{0xFF, 0x00, 0, 1023}, "FF", "00", nullptr},
};

std::string JsmrTail(const JsmrSample& sample) {
  std::string bits;
  for (const auto bit : JsmrWordFor(sample.fields)) bits += bit ? '1' : '0';
  std::string tail = "\"decoder\":\"jsmr\",\"bits\":\"" + bits + "\",\"id\":\"" + sample.id +
                     "\",\"station\":\"" + sample.station +
                     "\",\"channel\":" + std::to_string(sample.fields.channel);
  if (sample.line != nullptr) tail += ",\"line\":\"" + std::string(sample.line) + "\"";
  return tail + "}";
}

// The samples as a stereo recording, with the frame-end time of each in seconds.
std::vector<std::int16_t> JsmrRecording(const JsmrSignalOptions& options,
                                        std::vector<double>* frameEnds = nullptr) {
  JsmrModulator modulator(options);
  for (const JsmrSample& sample : kJsmrSamples) {
    modulator.QueueIdle(40);
    const double end = modulator.QueueFrame(sample.fields);
    if (frameEnds != nullptr) frameEnds->push_back(end);
  }
  modulator.QueueIdle(60);
  return modulator.Render(modulator.QueuedBits() * options.sampleRate / 3600);
}

TEST(TarvoDecode, PrintsEveryJsmrWordAtEveryRateWithTheMatchingPolarity) {
  TempDir dir;
  for (const int rate : {11025, 22050, 44100}) {
    for (const bool inverted : {false, true}) {
      const std::string name = std::to_string(rate) + (inverted ? " inverted" : " upright");
      JsmrSignalOptions options;
      options.sampleRate = rate;
      options.inverted = inverted;
      options.rightChannel = inverted;
      options.noise = 500.0;
      std::vector<double> frameEnds;
      const std::string path = (dir.path() / "jsmr.wav").string();
      WriteWavFile(path, rate, 2, JsmrRecording(options, &frameEnds));
      const std::string channel = inverted ? "--channel right " : "";

      const ToolResult result =
          RunDecode(dir, "--decoder jsmr " + channel + (inverted ? "--invert " : "") + Quote(path));
      EXPECT_EQ(result.status, 0) << name;
      EXPECT_TRUE(result.err.empty()) << name;
      ASSERT_EQ(result.out.size(), std::size(kJsmrSamples)) << name;
      for (std::size_t n = 0; n < result.out.size(); ++n) {
        const auto [t, tail] = SplitLine(result.out[n]);
        EXPECT_EQ(tail, JsmrTail(kJsmrSamples[n])) << name;
        EXPECT_GE(t, frameEnds[n]) << name << " word " << n;
        EXPECT_LE(t, frameEnds[n] + 0.01 + 512 / 11025.0) << name << " word " << n;
      }

      const ToolResult wrongPolarity =
          RunDecode(dir, "--decoder jsmr " + channel + (inverted ? "" : "--invert ") + Quote(path));
      EXPECT_EQ(wrongPolarity.status, 0) << name;
      EXPECT_TRUE(wrongPolarity.out.empty()) << name;
    }
  }
}

TEST(TarvoDecode, JsmrLinesLieOnTheRasterOfTheGivenControlFrequency) {
  TempDir dir;
  const std::string path = (dir.path() / "jsmr.wav").string();
  WriteWavFile(path, 11025, 2, JsmrRecording({}));
  const ToolResult result = RunDecode(dir, "--decoder jsmr --control 850.0125 " + Quote(path));
  ASSERT_EQ(result.out.size(), std::size(kJsmrSamples));
  EXPECT_NE(result.out[0].find("\"line\":\"850.41250\"}"), std::string::npos) << result.out[0];
  EXPECT_NE(result.out[2].find("\"line\":\"867.96250\"}"), std::string::npos) << result.out[2];
}

TEST(TarvoDecode, UnreadableFilesGiveOneLineNamingFileAndProblem) {
  TempDir dir;
  const std::vector<std::int16_t> samples(2048, 0);
  struct Row {
    const char* file;
    std::vector<std::uint8_t> bytes;  // empty: do not create
    std::string problem;
  };
  const Row rows[] = {
      {"missing.wav", {}, "cannot open: No such file or directory"},
      {"/dev/zero", {}, "not a WAV file"},  // read no further than its first bytes
      {"text.wav", {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v', 'e', '!', '\n'}, "not a WAV file"},
      {"eight.wav", WavBytes(11025, 1, samples, 8), "not 16-bit PCM"},
      {"float.wav", WavBytes(44100, 2, samples, 16, 3), "not 16-bit PCM"},
      {"48k.wav", WavBytes(48000, 2, samples),
       "sample rate 48000 Hz not supported (11025, 22050 or 44100 Hz)"},
  };
  for (const Row& row : rows) {
    const std::string path =
        row.file[0] == '/' ? std::string(row.file) : (dir.path() / row.file).string();
    if (!row.bytes.empty()) WriteBytes(path, row.bytes);
    const ToolResult result = RunDecode(dir, Quote(path));
    EXPECT_EQ(result.status, 2) << row.file;
    EXPECT_TRUE(result.out.empty()) << row.file;
    ASSERT_EQ(result.err.size(), 1u) << row.file;
    EXPECT_EQ(result.err[0], "tarvo-decode: " + path + ": " + row.problem);
  }
}

TEST(TarvoDecode, RobustDemodulatorPrintsTheSameLinesFromAWeakRecording) {
  TempDir dir;
  const std::string mcaccess = (dir.path() / "mcaccess.wav").string();
  WriteWavFile(mcaccess, 44100, 2,
               ModulateFrames(SampleWords(), {.sampleRate = 44100, .noiseRms = 1000.0}));
  JsmrModulator air({.sampleRate = 22050, .noise = 1500.0});
  air.QueueIdle(100);
  for (const JsmrSample& sample : kJsmrSamples) air.QueueFrame(sample.fields);
  air.QueueIdle(100);
  const std::string jsmr = (dir.path() / "jsmr.wav").string();
  WriteWavFile(jsmr, 22050, 2, air.Render(air.QueuedBits() * 22050 / 3600));
  for (const std::string& args : {Quote(mcaccess), "--decoder jsmr " + Quote(jsmr)}) {
    SCOPED_TRACE(args);
    const ToolResult exact = RunDecode(dir, args);
    const ToolResult robust = RunDecode(dir, "--demod robust " + args);
    EXPECT_EQ(robust.status, 0);
    ASSERT_FALSE(robust.out.empty());
    ASSERT_EQ(robust.out.size(), exact.out.size());
    for (std::size_t n = 0; n < exact.out.size(); ++n) {
      // The demodulators' delays differ by a few samples: a frame may end a block apart.
      const auto [exactTime, exactFields] = SplitLine(exact.out[n]);
      const auto [robustTime, robustFields] = SplitLine(robust.out[n]);
      EXPECT_EQ(robustFields, exactFields);
      EXPECT_NEAR(robustTime, exactTime, 0.047);
    }
    EXPECT_EQ(RunDecode(dir, "--demod exact " + args).out, exact.out);
  }
}

TEST(TarvoDecode, BadOptionsAreRefusedWithUsage) {
  TempDir dir;
  const std::string path = (dir.path() / "rec.wav").string();
  WriteWavFile(path, 11025, 1, std::vector<std::int16_t>(512, 0));
  const char* rows[] = {"",
                        "--decoder nothing REC",
                        "--channel middle REC",
                        "--gain 21 REC",
                        "--gain 1.5 REC",
                        "--invert REC",
                        "--decoder mcaccess --invert REC",
                        "--gain",
                        "--control 851.0x REC",
                        "--control",
                        "--demod soft REC",
                        "--volume 3 REC",
                        "REC REC"};
  for (std::string args : rows) {
    for (std::size_t at; (at = args.find("REC")) != std::string::npos;) {
      args.replace(at, 3, Quote(path));
    }
    const ToolResult result = RunDecode(dir, args);
    EXPECT_EQ(result.status, 2) << args;
    EXPECT_TRUE(result.out.empty()) << args;
    ASSERT_EQ(result.err.size(), 2u) << args;
    EXPECT_EQ(result.err[1].rfind("usage: tarvo-decode", 0), 0u) << args;
  }
}

}  // namespace
}  // namespace tarvo::testing
