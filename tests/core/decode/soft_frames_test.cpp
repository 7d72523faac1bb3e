// Soft-decision frame decoding: the word back from clean soft bits, the errors counted where
// they are, and what soft decisions repair that hard ones cannot.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/decode/jsmr_soft_frame.h"
#include "core/decode/mcaccess_soft_frame.h"
#include "support/jsmr_modulator.h"
#include "support/mcaccess_modulator.h"

namespace tarvo {
namespace {

std::vector<double> Soft(const std::vector<std::uint8_t>& bits) {
  std::vector<double> soft;
  for (const auto b : bits) soft.push_back(b ? 1.0 : -1.0);
  return soft;
}

TEST(McAccessSoftFrame, CountsErrorsWhereTheyAreAndKeepsTheWord) {
  std::mt19937 random(4);
  const McAccessWord word = testing::RandomMcAccessWord(random);
  const std::vector<double> clean = Soft(testing::McAccessFrameBitsFor(word));
  ASSERT_EQ(clean.size(), static_cast<std::size_t>(kMcAccessSoftBits));
  constexpr int kBody = kMcAccessSyncBits;
  struct Case {
    std::vector<int> weakFlips;  // bits received wrong, with little confidence
    int sync, fixed, code;
  } cases[] = {
      {{}, 0, 0, 0},
      {{0, 14}, 2, 0, 0},                        // sync word
      {{kBody + 1, kBody + 72 + 70}, 0, 2, 0},   // a fixed 0 and a fixed 1
      {{kBody + 20, kBody + 72 + 41}, 0, 0, 2},  // one code bit in each half
      {{kBody + 24, kBody + 30}, 0, 0, 2},       // two of the three bits of data bit 12
  };
  for (const Case& c : cases) {
    std::vector<double> soft = clean;
    for (const int i : c.weakFlips) soft[i] *= -0.3;
    const McAccessSoftDecision d = DecodeMcAccessSoftFrame(soft.data());
    EXPECT_EQ(d.word, word);
    EXPECT_EQ(d.syncErrors, c.sync);
    EXPECT_EQ(d.fixedErrors, c.fixed);
    EXPECT_EQ(d.codeErrors, c.code);
    // Each weak error weighs 0.3 of a mean magnitude that is a little below 1.
    EXPECT_NEAR(d.softErrors, 0.3 * static_cast<double>(c.weakFlips.size()), 0.02);
  }
  // Clean, flipping any data bit costs all three of its code bits.
  EXPECT_DOUBLE_EQ(DecodeMcAccessSoftFrame(clean.data()).margin, 6.0);
}

TEST(McAccessSoftFrame, ANearTossUpShowsAsASmallMargin) {
  std::mt19937 random(5);
  const McAccessWord word = testing::RandomMcAccessWord(random);
  std::vector<double> soft = Soft(testing::McAccessFrameBitsFor(word));
  // Two of the three bits of data bit 10 of the first half (pair 10's parity, pair 13's
  // parity, pair 16's second bit) go wrong: the word still wins, barely.
  soft[kMcAccessSyncBits + 20] *= -0.5;
  soft[kMcAccessSyncBits + 26] *= -0.3;
  const McAccessSoftDecision d = DecodeMcAccessSoftFrame(soft.data());
  EXPECT_EQ(d.word, word);
  EXPECT_LT(d.margin, 1.0);
}

TEST(JsmrSoftFrame, RepairsWhatTheHardDecoderCannotAndLeavesTheCheckTheLastWord) {
  const testing::JsmrFields fields{0x42, 0x07, 1, 517};
  const std::vector<double> clean = Soft(testing::JsmrFrameOnAir(fields));
  ASSERT_EQ(clean.size(), static_cast<std::size_t>(kJsmrSoftBits));
  const JsmrWord word = testing::JsmrWordFor(fields);
  // Information bits u[j] travel as code bit 2j, sent as body bit c + 19 r for 2j = 4c + r.
  auto body = [](int codeBit) { return kJsmrSyncBits + codeBit / 4 + 19 * (codeBit % 4); };

  JsmrSoftDecision d = DecodeJsmrSoftFrame(clean.data());
  ASSERT_TRUE(d.word);
  EXPECT_EQ(*d.word, word);
  EXPECT_EQ(d.codeErrors, 0);
  EXPECT_EQ(d.softErrors, 0.0);

  // Two neighbouring information bits, received weakly wrong: beyond the hard decoder.
  std::vector<double> soft = clean;
  soft[body(2 * 5)] *= -0.2;
  soft[body(2 * 6)] *= -0.2;
  JsmrFrameBits hard{};
  for (int i = 0; i < kJsmrBodyBits; ++i) hard[i] = soft[kJsmrSyncBits + i] > 0.0 ? 1 : 0;
  EXPECT_FALSE(DecodeJsmrFrame(hard));
  d = DecodeJsmrSoftFrame(soft.data());
  ASSERT_TRUE(d.word);
  EXPECT_EQ(*d.word, word);
  EXPECT_EQ(d.codeErrors, 2);
  EXPECT_LT(d.softErrors, 0.5);  // two unsure calls weigh less than one firm one

  // Firmly wrong check bits give another code word, which the check refuses.
  soft = clean;
  for (const int j : {28, 29, 31}) {
    soft[body(2 * j)] *= -1.0;
    soft[body(2 * j + 1)] *= -1.0;
    soft[body(2 * j + 3)] *= -1.0;
  }
  EXPECT_FALSE(DecodeJsmrSoftFrame(soft.data()).word);

  soft = clean;
  soft[0] = -soft[0];
  soft[3] = -soft[3];
  EXPECT_EQ(JsmrSyncErrors(soft.data()), 2);
}

}  // namespace
}  // namespace tarvo
