// The number forms receivers take a frequency in: the ten-digit hertz string and its BCD bytes,
// the YAESU 10 Hz count, the DJ-X11 hertz count; and the CI-V address from its hex text.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// printf("%.*f") in the C locale whatever the process locale is: a desktop toolkit may switch
// LC_NUMERIC to one whose decimal mark is a comma.
std::string FormatFixed(double value, int decimals);

// The frequency text as a double; nullopt when it is not a number.
std::optional<double> ParseMegahertz(std::string_view text);

// 850.0125 -> "0850012500". nullopt when the six-decimal text has no point among its first five
// characters (10000 MHz and up) or is not all digits (below zero).
std::optional<std::string> TenDigitHertz(double megahertz);

// The ten digits in pairs from the least significant end, each pair as BCD.
std::array<std::uint8_t, 5> CivFrequencyBytes(std::string_view tenDigits);

// The five-decimal text without its fourth character, read as 10 Hz units
// (850.0125 -> 85001250); nullopt unless the megahertz part has exactly three digits.
std::optional<std::uint32_t> YaesuFrequencyNumber(double megahertz);

// trunc(megahertz x 1000000); nullopt when it does not fit in ten decimal digits.
std::optional<std::int64_t> DjX11Hertz(double megahertz);

// The receiver's CI-V address from the first two characters of its hex text ("4A" -> 0x4A).
// Lower-case letters are not hex digits here: 'a' counts as 42, as it always has. A text shorter
// than two characters reads as a number with leading zeros: "A" -> 0x0A, "" -> 0x00.
std::uint8_t CivAddress(std::string_view text);

}  // namespace tarvo
