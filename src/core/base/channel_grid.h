// The channel grid a control-channel frequency implies: the McAccess channel step and the JSMR
// raster offset, both decided on exact 100 Hz counts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tarvo {

// The exact value of a megahertz text ("850.00625") in units of 1e-9 MHz, digits past the ninth
// decimal dropped; nullopt when the text is not a number.
std::optional<std::int64_t> ExactNanoMegahertz(const std::string& megahertzText);

// 0.0125 when trunc(F x 10000) is a multiple of 125 (the 12.5 kHz raster), else 0.00625.
double McAccessChannelStepFor(std::int64_t nanoMegahertz);

// 0.0 when trunc((F - 849.9875) x 10000) is a multiple of 250 (the 25 kHz raster through
// 849.9875 MHz), else 0.0125.
double RasterOffsetFor(std::int64_t nanoMegahertz);

}  // namespace tarvo
