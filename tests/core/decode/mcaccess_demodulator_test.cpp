#include "core/decode/mcaccess_demodulator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "support/mcaccess_chain.h"
#include "support/mcaccess_modulator.h"

namespace tarvo::testing {
namespace {

constexpr int kBuffer11025 = 512;

std::vector<McAccessWord> Words(int count, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<McAccessWord> words;
  for (int n = 0; n < count; ++n) words.push_back(RandomMcAccessWord(random));
  return words;
}

std::vector<std::string> Texts(const std::vector<McAccessWord>& words) {
  std::vector<std::string> texts;
  for (const auto& w : words) texts.push_back(WordText(w));
  return texts;
}

// Runs queued bits (plus idle on both sides) through a fresh chain at 11025 Hz.
std::vector<McAccessWord> DecodeBits(const Bits& bits) {
  McAccessChain chain;
  McAccessModulator modulator({});
  modulator.QueueIdle(120);
  modulator.QueueBits(bits);
  modulator.QueueIdle(60);
  std::vector<std::int16_t> samples;
  modulator.Emit((modulator.FramesUntilQueueSent() / kBuffer11025 + 1) * kBuffer11025, samples);
  chain.Feed(samples, 11025);
  return chain.frames.words;
}

Bits Concat(std::initializer_list<Bits> parts) {
  Bits all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST(McAccessDemodulator, CleanFramesComeBackExactlyAtEveryRateAndChannel) {
  const auto words = Words(8, 11);
  for (const int rate : {11025, 22050, 44100}) {
    for (const bool left : {true, false}) {
      McAccessChain chain;
      chain.state.LeftChannel = left;
      ModulatorOptions options;
      options.sampleRate = rate;
      options.leftChannel = left;
      chain.Feed(ModulateFrames(words, options), rate);
      EXPECT_EQ(Texts(chain.frames.words), Texts(words)) << rate << (left ? " left" : " right");
    }
  }
}

TEST(McAccessDemodulator, ReadingTheSilentChannelDecodesNothing) {
  McAccessChain chain;
  chain.state.LeftChannel = false;
  chain.Feed(ModulateFrames(Words(3, 2), {}), 11025);
  EXPECT_TRUE(chain.frames.words.empty());
}

// The bit clock rings on the data's transitions: a steady tone gives the tone's bit while the
// ringing lasts and then no decisions at all; alternating bits keep it at one decision per bit.
TEST(McAccessDemodulator, BitClockFollowsTransitions) {
  struct Row {
    double hz;  // 0: alternating bits
    int bit;
  };
  for (const Row row : {Row{1200.0, 1}, Row{1800.0, 0}, Row{0.0, -1}}) {
    McAccessChain chain;
    McAccessModulator idle({});
    InputBlock block{};
    std::vector<int> bits;
    int lateDecisions = 0;
    double phase = 0.0;
    const int blocks = 24;
    for (int b = 0; b < blocks; ++b) {
      if (row.hz > 0.0) {
        for (auto& x : block) {
          x = 8000.0 * std::sin(phase);
          phase += 2.0 * std::numbers::pi * row.hz / 11025.0;
        }
      } else {
        std::vector<std::int16_t> stereo;
        idle.Emit(kBuffer11025, stereo);
        for (int j = 0; j < kBlockSamples; ++j) block[j] = stereo[2 * j];
      }
      chain.demodulator.McAccessDecodeBlock(block);
      for (int j = 0; j < kBlockSamples; ++j) {
        // The three filters' delays (75 samples) hold start-up values first.
        if (chain.state.EyeStrobes[j] == 0 || (b == 0 && j < 96)) continue;
        bits.push_back(chain.state.EyeSamples[j] < 0.0 ? 1 : 0);
        lateDecisions += b >= 4 ? 1 : 0;
      }
    }
    ASSERT_FALSE(bits.empty()) << row.hz;
    if (row.hz > 0.0) {
      EXPECT_EQ(lateDecisions, 0) << row.hz;
      for (const int bit : bits) EXPECT_EQ(bit, row.bit) << row.hz;
    } else {
      const double perSecond = lateDecisions / ((blocks - 4) * kBlockSamples / 11025.0);
      EXPECT_NEAR(perSecond, 1200.0, 5.0);
      int repeats = 0;
      for (std::size_t n = bits.size() - 1000; n < bits.size(); ++n) {
        repeats += bits[n] == bits[n - 1] ? 1 : 0;
      }
      EXPECT_EQ(repeats, 0);
    }
  }
}

TEST(McAccessDemodulator, FixedBitErrorsDropAndCorrectableErrorsAreMended) {
  const McAccessWord word = Words(1, 3)[0];
  struct Row {
    int flipped;  // position in the 145-bit body
    bool accepted;
  };
  const Row rows[] = {{1, false},   {11, false}, {70, false}, {73, false},
                      {142, false}, {40, true},  {100, true}, {144, true}};
  for (const Row row : rows) {
    Bits body = McAccessBodyFor(word);
    body[row.flipped] ^= 1;
    const auto frames = DecodeBits(Concat({McAccessSyncBits(), body}));
    if (row.accepted) {
      ASSERT_EQ(frames.size(), 1u) << row.flipped;
      EXPECT_EQ(WordText(frames[0]), WordText(word)) << row.flipped;
    } else {
      EXPECT_TRUE(frames.empty()) << row.flipped;
    }
  }
}

TEST(McAccessDemodulator, BackToBackFramesNeedOnlyTheLastTwelveSyncBits) {
  const auto words = Words(2, 4);
  const Bits sync = McAccessSyncBits();
  struct Row {
    int syncBitsSent;
    std::size_t frames;
  };
  for (const Row row : {Row{15, 2}, Row{12, 2}, Row{11, 1}}) {
    const Bits partialSync(sync.end() - row.syncBitsSent, sync.end());
    const auto frames = DecodeBits(
        Concat({McAccessFrameBitsFor(words[0]), partialSync, McAccessBodyFor(words[1])}));
    ASSERT_EQ(frames.size(), row.frames) << row.syncBitsSent;
    EXPECT_EQ(WordText(frames.back()), WordText(words[row.frames - 1]));
  }
}

TEST(McAccessDemodulator, FrameInterruptedByAVoiceLineCompletesAfterwards) {
  const McAccessWord word = Words(1, 9)[0];
  McAccessChain chain;
  McAccessModulator modulator({});
  modulator.QueueIdle(120);
  modulator.QueueFrame(word);
  modulator.QueueIdle(60);
  // Pause about halfway through the frame body.
  const int pauseAfterBlocks = (120 + 15 + 70) * 11025 / 1200 / kBuffer11025;
  std::vector<std::int16_t> buffer;
  for (int b = 0; b < pauseAfterBlocks; ++b) {
    buffer.clear();
    modulator.Emit(kBuffer11025, buffer);
    chain.frontEnd.ProcessInputBlock(buffer.data(), kBuffer11025);
  }
  // A voice line: other audio entirely, which the frozen demodulator must not see.
  chain.state.OnControlChannel = false;
  McAccessModulator voice({.sampleRate = 11025, .amplitude = 9000.0, .seed = 3});
  voice.QueueFrame(word);
  for (int b = 0; b < 4; ++b) {
    buffer.clear();
    voice.Emit(kBuffer11025, buffer);
    chain.frontEnd.ProcessInputBlock(buffer.data(), kBuffer11025);
  }
  EXPECT_TRUE(chain.frames.words.empty());
  chain.state.OnControlChannel = true;
  for (int b = 0; b < 8; ++b) {
    buffer.clear();
    modulator.Emit(kBuffer11025, buffer);
    chain.frontEnd.ProcessInputBlock(buffer.data(), kBuffer11025);
  }
  ASSERT_EQ(chain.frames.words.size(), 1u);
  EXPECT_EQ(WordText(chain.frames.words[0]), WordText(word));
}

TEST(McAccessDemodulator, NoisyRecordingsDecodeABandOfFrames) {
  const auto words = Words(20, 21);
  struct Row {
    double noiseRms;  // against a peak of 8000
    std::size_t least;
    std::size_t most;
  };
  const Row rows[] = {{2000.0, 20, 20}, {4000.0, 15, 20}, {5000.0, 5, 18}, {8000.0, 0, 0}};
  for (const Row row : rows) {
    McAccessChain chain;
    ModulatorOptions options;
    options.noiseRms = row.noiseRms;
    options.seed = 17;
    chain.Feed(ModulateFrames(words, options), 11025);
    std::size_t right = 0;
    for (const auto& w : chain.frames.words) {
      for (const auto& sent : words) right += w == sent ? 1 : 0;
    }
    EXPECT_GE(right, row.least) << row.noiseRms;
    EXPECT_LE(right, row.most) << row.noiseRms;
    EXPECT_LE(chain.frames.words.size(), right + 1) << row.noiseRms;
  }
}

TEST(McAccessDemodulator, ReceptionLampGoesDarkOnTheFifthBlockAfterAFrame) {
  McAccessChain chain;
  chain.frames.onFrame = [&](const McAccessWord&) {
    chain.state.Panel1 = Colour::kAqua;  // what the interpreter does
    chain.state.RxLampBlocks = 0;
  };
  int frameBlock = -1;
  int darkBlock = -1;
  int block = 0;
  chain.Feed(ModulateFrames(Words(1, 8), {}, 600), 11025, [&] {
    if (frameBlock < 0 && !chain.frames.words.empty()) frameBlock = block;
    if (frameBlock >= 0 && darkBlock < 0 && chain.state.Panel1 == Colour::kBlack) {
      darkBlock = block;
    }
    ++block;
  });
  ASSERT_GE(frameBlock, 0);
  EXPECT_EQ(darkBlock - frameBlock, 5);
}

TEST(McAccessDemodulator, OffTheControlChannelOnlyTheSupervisionRuns) {
  McAccessChain chain;
  chain.world.eye.showing = true;
  const auto samples = ModulateFrames(Words(2, 6), {});
  chain.Feed(samples, 11025);
  const auto eyeSamples = chain.state.EyeSamples;
  const auto eyeStrobes = chain.state.EyeStrobes;
  const std::size_t updates = chain.world.eye.updates.size();
  EXPECT_EQ(updates, samples.size() / 2 / kBuffer11025);
  EXPECT_EQ(chain.world.eye.updates.back(), 10);
  EXPECT_EQ(chain.state.Panel4, Colour::kBlack);

  chain.state.OnControlChannel = false;
  chain.frames.words.clear();
  chain.Feed(samples, 11025);
  EXPECT_TRUE(chain.frames.words.empty());
  EXPECT_EQ(chain.world.eye.updates.size(), updates);
  EXPECT_EQ(chain.state.EyeSamples, eyeSamples);
  EXPECT_EQ(chain.state.EyeStrobes, eyeStrobes);
  EXPECT_EQ(chain.state.Panel4, Colour::kYellow);
  EXPECT_EQ(chain.state.Panel1, Colour::kBlack);
}

TEST(McAccessDemodulator, HiddenEyeWindowIsNotUpdated) {
  McAccessChain chain;
  chain.Feed(ModulateFrames(Words(1, 6), {}), 11025);
  EXPECT_TRUE(chain.world.eye.updates.empty());
}

}  // namespace
}  // namespace tarvo::testing
