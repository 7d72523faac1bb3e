#include "core/dialogs/megahertz_text.h"

#include <charconv>
#include <cmath>

namespace tarvo {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

}  // namespace

std::optional<double> ParseMegahertz(const std::string& text) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  while (begin != end && IsBlank(*begin)) ++begin;
  while (end != begin && IsBlank(end[-1])) --end;
  // from_chars takes only a minus sign.
  if (end - begin >= 2 && begin[0] == '+' && begin[1] != '-') ++begin;
  double value = 0.0;
  const auto [stop, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string FormatMegahertz(double megahertz) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, megahertz, std::chars_format::fixed, 5);
  if (result.ec != std::errc()) return "---.-----";  // beyond any 64-character number
  return std::string(buffer, result.ptr);
}

std::string NotANumberMessage(const std::string& text) {
  return "'" + text + "' は有効な数値ではありません";
}

}  // namespace tarvo
