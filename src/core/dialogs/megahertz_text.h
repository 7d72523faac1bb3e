// Frequency texts as the operator types and reads them: locale-free parsing and the
// five-decimal form ("850.01250"), plus the message for a text that is no number.
#pragma once

#include <optional>
#include <string>

namespace tarvo {

// The value of a decimal text ("851.0125", " 850 ", "8.5e2"); nullopt when it is not a finite
// number. Surrounding blanks are allowed, a decimal comma is not, whatever the user's locale.
std::optional<double> ParseMegahertz(const std::string& text);

// The value with five decimals, as "%3.5f" in the C locale prints it.
std::string FormatMegahertz(double megahertz);

// What the operator sees when a text cannot be converted to a number.
std::string NotANumberMessage(const std::string& text);

}  // namespace tarvo
