#include "core/decode/jsmr_frame.h"

#include <gtest/gtest.h>

#include "support/jsmr_modulator.h"

namespace tarvo {
namespace {

using testing::JsmrBodyFor;
using testing::JsmrFields;
using testing::JsmrInformationFor;

// Body position of information bit u[j]: code bit D[2j] sits in column d / 4, row d % 4.
int BodyIndexOfInformationBit(int j) {
  const int d = 2 * j;
  return d / 4 + 19 * (d % 4);
}

JsmrWord WordOf(const testing::JsmrInformation& u) {
  JsmrWord word{};
  for (int k = 0; k < kJsmrWordBits; ++k) word[k] = u[k];
  return word;
}

TEST(JsmrCheckRegister, RunsThroughTheFixedSequence) {
  const std::array<std::uint16_t, 27> expected = {
      0x1B7, 0x2FE, 0x17F, 0x29A, 0x14D, 0x283, 0x364, 0x1B2, 0x0D9,
      0x249, 0x301, 0x3A5, 0x3F7, 0x3DE, 0x1EF, 0x2D2, 0x169, 0x291,
      0x36D, 0x393, 0x3EC, 0x1F6, 0x0FB, 0x258, 0x12C, 0x096, 0x04B,
  };
  EXPECT_EQ(JsmrCheckRegisterSequence(), expected);
}

TEST(JsmrCheckRegister, FoldsTheStateOfEverySetDataBit) {
  JsmrWord word{};
  EXPECT_EQ(JsmrCheckValue(word), 0x393);  // no data bit set: the seed alone
  word[0] = 1;
  EXPECT_EQ(JsmrCheckValue(word), 0x393 ^ 0x1B7);
  word[26] = 1;
  EXPECT_EQ(JsmrCheckValue(word), 0x393 ^ 0x1B7 ^ 0x04B);
  word[36] = 1;  // check bits do not feed the register
  EXPECT_EQ(JsmrCheckValue(word), 0x393 ^ 0x1B7 ^ 0x04B);
}

// Words whose bits differ in many places, including the unused last information bit.
struct SentWord {
  JsmrFields fields;
  std::uint8_t lastBit;
};
const SentWord kWords[] = {
    {{0x1F, 0x2A, 0, 17}, 0},
    {{0xC3, 0x5E, 1, 719}, 1},
    {{0x00, 0x00, 0, 0}, 0},
    {{0xFF, 0xFF, 1, 1023}, 1},
};

TEST(JsmrFrameDecode, AcceptsCleanFramesAndRejectsAWrongCheck) {
  for (const SentWord& sent : kWords) {
    const testing::JsmrInformation u = JsmrInformationFor(sent.fields, sent.lastBit);
    EXPECT_EQ(DecodeJsmrFrame(JsmrBodyFor(u)), WordOf(u));

    testing::JsmrInformation wrongCheck = u;
    wrongCheck[30] ^= 1;  // coded consistently, so only the check can refuse it
    EXPECT_EQ(DecodeJsmrFrame(JsmrBodyFor(wrongCheck)), std::nullopt);
  }
}

TEST(JsmrFrameDecode, EverySingleInvertedCodeBitIsRepairedOrHarmless) {
  for (const SentWord& sent : kWords) {
    const testing::JsmrInformation u = JsmrInformationFor(sent.fields, sent.lastBit);
    for (int position = 0; position < kJsmrBodyBits; ++position) {
      SCOPED_TRACE(position);
      JsmrFrameBits body = JsmrBodyFor(u);
      body[position] ^= 1;
      EXPECT_EQ(DecodeJsmrFrame(body), WordOf(u));
    }
  }
}

TEST(JsmrFrameDecode, TwoNeighbouringInformationBitsAreNotRepaired) {
  for (const SentWord& sent : kWords) {
    const JsmrFrameBits clean = JsmrBodyFor(JsmrInformationFor(sent.fields, sent.lastBit));
    for (int j = 0; j + 1 < kJsmrWordBits; ++j) {
      SCOPED_TRACE(j);
      JsmrFrameBits body = clean;
      body[BodyIndexOfInformationBit(j)] ^= 1;
      body[BodyIndexOfInformationBit(j + 1)] ^= 1;
      EXPECT_EQ(DecodeJsmrFrame(body), std::nullopt);
    }
  }
}

}  // namespace
}  // namespace tarvo
