#include "core/base/megahertz_text.h"

#include <charconv>

namespace tarvo {

std::string FormatMegahertz(double megahertz) {
  char buffer[400];  // room for the widest double in fixed notation
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, megahertz, std::chars_format::fixed, 5);
  return std::string(buffer, result.ptr);
}

}  // namespace tarvo
