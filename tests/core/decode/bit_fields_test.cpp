#include "core/decode/bit_fields.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvo {
namespace {

std::vector<std::uint8_t> Bits(const std::string& text) {
  std::vector<std::uint8_t> bits;
  for (char c : text) bits.push_back(c == '1' ? 1 : 0);
  return bits;
}

struct FieldCase {
  std::string bits;
  int first;
  int count;
  std::uint32_t value;
  std::string hex;
  int ones;
};

TEST(BitFieldsTest, ReadsFieldsFirstBitMostSignificant) {
  const FieldCase cases[] = {
      // The leading digit takes the bits left over above the last full nibble.
      {"0000101111", 4, 6, 0x2F, "2F", 5},
      {"0110100111", 0, 10, 0x1A7, "1A7", 6},
      {"1100000000", 0, 10, 0x300, "300", 2},
      {"01111", 1, 4, 0xF, "F", 4},
      {"1010", 1, 2, 0x1, "1", 1},
      {"0000000000000000", 0, 16, 0x0, "0000", 0},
      {"1111111111111111111111", 0, 22, 0x3FFFFF, "3FFFFF", 22},
      {"10", 0, 1, 1, "1", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bits);
    const auto bits = Bits(c.bits);
    EXPECT_EQ(FieldValue(bits, c.first, c.count), c.value);
    EXPECT_EQ(FieldHex(bits, c.first, c.count), c.hex);
    EXPECT_EQ(FieldOnes(bits, c.first, c.count), c.ones);
  }
}

TEST(BitFieldsTest, HexDigitsAreUpperCase) {
  EXPECT_EQ(HexText(0xABCDEF, 24), "ABCDEF");
  EXPECT_EQ(HexText(0x0A, 8), "0A");
}

}  // namespace
}  // namespace tarvo
