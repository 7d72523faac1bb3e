// A frequency in the five-decimal text form the program shows and stores ("850.01250").
#pragma once

#include <string>

namespace tarvo {

// As "%3.5f" prints it in the C locale, whatever locale the user runs.
std::string FormatMegahertz(double megahertz);

}  // namespace tarvo
