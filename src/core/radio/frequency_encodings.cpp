#include "core/radio/frequency_encodings.h"

#include <charconv>
#include <cmath>

namespace tarvo {
namespace {

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

int HexDigitValue(unsigned char c) {
  return c <= '9' ? c - 48 : c - 55;
}

}  // namespace

std::string FormatFixed(double value, int decimals) {
  char text[400];
  const auto result =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  if (result.ec != std::errc()) return {};
  return std::string(text, result.ptr);
}

std::optional<double> ParseMegahertz(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;
  text = text.substr(first, text.find_last_not_of(' ') - first + 1);
  double value = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::string> TenDigitHertz(double megahertz) {
  const std::string text = FormatFixed(megahertz, 6);
  const auto point = text.find('.');
  if (point == std::string::npos || point >= 5) return std::nullopt;
  std::string digits(4 - point, '0');
  digits += text.substr(0, point);
  digits += text.substr(point + 1, 6);
  if (digits.size() != 10 || !AllDigits(digits)) return std::nullopt;
  return digits;
}

std::array<std::uint8_t, 5> CivFrequencyBytes(std::string_view tenDigits) {
  std::array<std::uint8_t, 5> bytes{};
  for (int i = 0; i < 5; ++i) {
    const int high = tenDigits[8 - 2 * i] - '0';
    const int low = tenDigits[9 - 2 * i] - '0';
    bytes[i] = static_cast<std::uint8_t>(high << 4 | low);
  }
  return bytes;
}

std::optional<std::uint32_t> YaesuFrequencyNumber(double megahertz) {
  std::string text = FormatFixed(megahertz, 5);
  if (text.size() < 4) return std::nullopt;
  text.erase(3, 1);
  if (!AllDigits(text) || text.size() != 8) return std::nullopt;
  std::uint32_t number = 0;
  std::from_chars(text.data(), text.data() + text.size(), number);
  return number;
}

std::optional<std::int64_t> DjX11Hertz(double megahertz) {
  const double hertz = std::trunc(megahertz * 1000000.0);
  if (!(hertz >= 0.0 && hertz <= 9999999999.0)) return std::nullopt;
  return static_cast<std::int64_t>(hertz);
}

std::uint8_t CivAddress(std::string_view text) {
  const std::string_view digits = text.substr(0, 2);
  int address = 0;
  for (const char c : digits) {
    address = 16 * address + HexDigitValue(static_cast<unsigned char>(c));
  }
  return static_cast<std::uint8_t>(address & 0xFF);
}

}  // namespace tarvo
