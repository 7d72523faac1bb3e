#include "core/decode/bit_fields.h"

namespace tarvo {

std::uint32_t FieldValue(std::span<const std::uint8_t> bits, int first, int count) {
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i) value = (value << 1) | (bits[first + i] & 1u);
  return value;
}

int FieldOnes(std::span<const std::uint8_t> bits, int first, int count) {
  int ones = 0;
  for (int i = 0; i < count; ++i) ones += bits[first + i] & 1;
  return ones;
}

std::string HexText(std::uint32_t value, int bitCount) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const int digits = (bitCount + 3) / 4;
  std::string text(digits, '0');
  for (int d = digits - 1; d >= 0; --d) {
    text[d] = kDigits[value & 0xF];
    value >>= 4;
  }
  return text;
}

std::string FieldHex(std::span<const std::uint8_t> bits, int first, int count) {
  return HexText(FieldValue(bits, first, count), count);
}

}  // namespace tarvo
