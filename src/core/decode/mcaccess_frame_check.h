// The McAccess frame body check: fixed bits of both halves, then error correction of the two
// 30-bit halves into the 60-bit frame word.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "core/decode/mcaccess_frame.h"

namespace tarvo {

inline constexpr int kMcAccessFrameBits = 145;  // stored after the sync word
inline constexpr int kMcAccessHalfBits = 72;
inline constexpr int kMcAccessFrameSlots = 256;

// Frame bit slots as assembled; slots 145 and above are always 0.
using McAccessFrameBits = std::array<std::uint8_t, kMcAccessFrameSlots>;

// True when the six leading 0 bits and the three closing 1 bits of both halves are right.
bool McAccessFixedBitsValid(const McAccessFrameBits& f);

// The corrected frame word, or nothing when a fixed bit is wrong.
std::optional<McAccessWord> CheckMcAccessFrame(const McAccessFrameBits& f);

}  // namespace tarvo
