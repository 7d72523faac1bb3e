#include "core/base/channel_grid.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "core/base/decimal_number.h"

namespace tarvo {
namespace {

constexpr std::int64_t kPerMegahertz = 1000000000;
constexpr std::int64_t kPerHundredHertz = kPerMegahertz / 10000;
constexpr std::int64_t kJsmrRasterBase = 849987500000;  // 849.9875 MHz

bool IsSpace(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}
bool IsDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Plain "[sign]digits[.digits]" texts, counted digit by digit so no rounding enters.
std::optional<std::int64_t> ParsePlainDecimal(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::int64_t whole = 0;
  bool digits = false;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    whole = whole * 10 + (text[i] - '0');
    digits = true;
    if (whole > 1000000) return std::nullopt;  // far beyond any radio frequency
  }
  std::int64_t fraction = 0;
  std::int64_t scale = kPerMegahertz;
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && IsDigit(text[i]); ++i) {
      digits = true;
      if (scale > 1) {
        scale /= 10;
        fraction += (text[i] - '0') * scale;
      }
    }
  }
  while (i < text.size() && IsSpace(text[i])) ++i;
  if (i != text.size() || !digits) return std::nullopt;
  const std::int64_t value = whole * kPerMegahertz + fraction;
  return negative ? -value : value;
}

}  // namespace

std::optional<std::int64_t> ExactNanoMegahertz(const std::string& megahertzText) {
  if (auto plain = ParsePlainDecimal(megahertzText)) return plain;
  // Other number forms (exponents): an extended-precision product keeps exact values exact.
  const auto parsed = ParseDecimalNumber(megahertzText);
  if (!parsed || std::fabs(*parsed) > 1e6) return std::nullopt;
  const double value = *parsed;
  return static_cast<std::int64_t>(std::truncl(static_cast<long double>(value) * kPerMegahertz));
}

double McAccessChannelStepFor(std::int64_t nanoMegahertz) {
  const std::int64_t count = nanoMegahertz / kPerHundredHertz;  // truncates toward zero
  return count % 125 == 0 ? 0.0125 : 0.00625;
}

double RasterOffsetFor(std::int64_t nanoMegahertz) {
  const std::int64_t count = (nanoMegahertz - kJsmrRasterBase) / kPerHundredHertz;
  return count % 250 == 0 ? 0.0 : 0.0125;
}

}  // namespace tarvo
