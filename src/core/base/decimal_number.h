// Decimal number texts read the same way whatever locale the user runs ("851.0125" is never
// cut at the point under a comma-decimal locale).
#pragma once

#include <optional>
#include <string_view>

namespace tarvo {

// "[blanks][sign]digits[.digits][e[sign]digits][blanks]" as a finite double; nullopt for
// anything else, including infinities, NaN and values beyond the range of a double.
std::optional<double> ParseDecimalNumber(std::string_view text);

}  // namespace tarvo
