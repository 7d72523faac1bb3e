// Lamp and bar colours as 0xRRGGBB.
#pragma once

#include <cstdint>

namespace tarvo {

enum class Colour : std::uint32_t {
  kBlack = 0x000000,
  kAqua = 0x00FFFF,
  kLime = 0x00FF00,
  kYellow = 0xFFFF00,
  kRed = 0xFF0000,
};

}  // namespace tarvo
