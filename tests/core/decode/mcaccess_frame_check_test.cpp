#include "core/decode/mcaccess_frame_check.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "support/mcaccess_modulator.h"

namespace tarvo::testing {
namespace {

McAccessFrameBits Slots(const Bits& body) {
  McAccessFrameBits f{};
  for (std::size_t i = 0; i < body.size(); ++i) f[i] = body[i];
  return f;
}

std::vector<McAccessWord> SampleWords() {
  std::mt19937 random(7);
  std::vector<McAccessWord> words = {McAccessWord{}, McAccessWord{}};
  words[1].fill(1);
  for (int n = 0; n < 20; ++n) words.push_back(RandomMcAccessWord(random));
  return words;
}

bool IsFixedBit(int position) {
  const int o = position % kMcAccessHalfBits;
  return position < 2 * kMcAccessHalfBits &&
         ((o % 2 == 1 && o <= 11) || o == 66 || o == 68 || o == 70);
}

TEST(McAccessFrameCheck, CodedWordsComeBackExactly) {
  for (const auto& word : SampleWords()) {
    const auto result = CheckMcAccessFrame(Slots(McAccessBodyFor(word)));
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(WordText(*result), WordText(word));
  }
}

TEST(McAccessFrameCheck, AnyWrongFixedBitDropsTheFrame) {
  const McAccessWord word = SampleWords()[5];
  int fixedBits = 0;
  for (int p = 0; p < kMcAccessFrameBits; ++p) {
    if (!IsFixedBit(p)) continue;
    ++fixedBits;
    McAccessFrameBits f = Slots(McAccessBodyFor(word));
    f[p] ^= 1;
    EXPECT_FALSE(CheckMcAccessFrame(f).has_value()) << "fixed bit " << p;
  }
  EXPECT_EQ(fixedBits, 18);  // the mask itself: six zeros and three ones per half
}

// The first three data bits of a half and their parity bits have no second copy to vote with;
// every other single error is corrected.
TEST(McAccessFrameCheck, SingleErrorsOutsideTheHalfStartsAreCorrected) {
  const std::set<int> unprotected = {0, 2, 4, 13, 15, 17};
  for (const auto& word : SampleWords()) {
    for (int p = 0; p < kMcAccessFrameBits; ++p) {
      if (IsFixedBit(p) || unprotected.count(p % kMcAccessHalfBits) != 0) continue;
      McAccessFrameBits f = Slots(McAccessBodyFor(word));
      f[p] ^= 1;
      const auto result = CheckMcAccessFrame(f);
      ASSERT_TRUE(result.has_value()) << p;
      EXPECT_EQ(WordText(*result), WordText(word)) << "flipped bit " << p;
    }
  }
}

}  // namespace
}  // namespace tarvo::testing
