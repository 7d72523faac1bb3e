// Multi-bit fields of a received word of 0/1 bits, read with the lowest index as the most
// significant bit, and their hexadecimal texts.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tarvo {

// The value of bits[first .. first + count - 1]; count is at most 32.
std::uint32_t FieldValue(std::span<const std::uint8_t> bits, int first, int count);

// The number of 1 bits in bits[first .. first + count - 1].
int FieldOnes(std::span<const std::uint8_t> bits, int first, int count);

// Upper-case hex digits of a bitCount-bit value, one per 4 bits counted from the low end, so the
// leading digit holds whatever top bits remain (a 6-bit field gives a first digit of 0..3).
std::string HexText(std::uint32_t value, int bitCount);

// HexText of the field bits[first .. first + count - 1].
std::string FieldHex(std::span<const std::uint8_t> bits, int first, int count);

}  // namespace tarvo
