// The demodulator works stage by stage over a block; here a plain one-sample-at-a-time chain
// checks that every filtered value, strobe and tone level comes out bit for bit the same.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>

#include "core/decode/mcaccess_demodulator.h"
#include "support/mcaccess_chain.h"
#include "support/mcaccess_modulator.h"

namespace tarvo::testing {
namespace {

std::uint64_t Bits(double x) {
  return std::bit_cast<std::uint64_t>(x);
}

// The discriminator, clock and tone detector written out per sample.
struct PlainChain {
  explicit PlainChain(const FilterDesigns& d)
      : bandPass(d.mcaccessBandPass),
        hilbert(d.mcaccessHilbert),
        lowPass(d.mcaccessLowPass),
        clock(d.mcaccessClock),
        tone(d.mcaccessTone) {}

  void Block(const InputBlock& in, bool onControlChannel) {
    double sum = 0.0;
    for (int j = 0; j < kBlockSamples; ++j) sum += std::fabs(tone.Step(in[j]));
    toneLevel = 0.5 * (1.0 / kBlockSamples) * sum;
    if (!onControlChannel) return;
    for (int j = 0; j < kBlockSamples; ++j) {
      const double b = bandPass.Push(in[j]);
      const double q = hilbert.Push(b);
      const double i = hilbert.Line()[25];
      const double phase = (i == 0.0 || q == 0.0) ? 0.0 : std::atan2(i, q);
      double p = lastPhase - phase;
      if (p < 0.0) p += 6.283185307179586;
      lastPhase = phase;
      const double r = lowPass.Push(p - 0.855);
      eye[j] = r;
      const double y = clock.Step(std::fabs(r));
      for (int k = 127; k > 0; --k) clockLine[k] = clockLine[k - 1];
      clockLine[0] = y;
      const double s = clockLine[10] < 0.0 ? -10.0 : 10.0;
      strobe[j] = lastSign < s ? 1 : 0;
      lastSign = s;
    }
  }

  Fir51 bandPass, hilbert, lowPass;
  Resonator clock, tone;
  double lastPhase = 0.0;
  double clockLine[128] = {};
  double lastSign = 0.0;
  double toneLevel = 0.0;
  std::array<double, kBlockSamples> eye{};
  std::array<std::uint8_t, kBlockSamples> strobe{};
};

TEST(McAccessBlockPath, MatchesThePlainChainBitForBit) {
  McAccessChain chain;
  PlainChain plain(chain.designs);
  std::mt19937 random(12);
  std::vector<McAccessWord> words;
  for (int n = 0; n < 6; ++n) words.push_back(RandomMcAccessWord(random));
  ModulatorOptions options;
  options.noiseRms = 3000.0;
  auto samples = ModulateFrames(words, options);
  // Digital silence in the middle: exact zeros for the phase rule.
  for (std::size_t n = 8000; n < 9500; ++n) samples[n] = 0;
  const std::size_t blocks = samples.size() / 2 / kBlockSamples;
  for (std::size_t b = 0; b < blocks; ++b) {
    const bool on = b % 7 != 5;  // now and then a block on a voice line
    InputBlock block;
    for (int j = 0; j < kBlockSamples; ++j) block[j] = samples[2 * (b * kBlockSamples + j)];
    plain.Block(block, on);
    chain.state.OnControlChannel = on;
    chain.demodulator.McAccessDecodeBlock(block);
    ASSERT_EQ(Bits(chain.demodulator.ToneLevel()), Bits(plain.toneLevel)) << b;
    if (!on) continue;
    for (int j = 0; j < kBlockSamples; ++j) {
      ASSERT_EQ(Bits(chain.state.EyeSamples[j]), Bits(plain.eye[j])) << b << " " << j;
      ASSERT_EQ(chain.state.EyeStrobes[j], plain.strobe[j]) << b << " " << j;
    }
  }
  EXPECT_FALSE(chain.frames.words.empty());
}

}  // namespace
}  // namespace tarvo::testing
