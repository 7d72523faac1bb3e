#include "core/decode/mcaccess_frame_check.h"

namespace tarvo {

bool McAccessFixedBitsValid(const McAccessFrameBits& f) {
  for (int h = 0; h < 2; ++h) {
    const int base = kMcAccessHalfBits * h;
    for (int o = 1; o <= 11; o += 2) {
      if (f[base + o] != 0) return false;
    }
    for (int o = 66; o <= 70; o += 2) {
      if (f[base + o] != 1) return false;
    }
  }
  return true;
}

std::optional<McAccessWord> CheckMcAccessFrame(const McAccessFrameBits& f) {
  if (!McAccessFixedBitsValid(f)) return std::nullopt;
  McAccessWord d{};
  for (int h = 0; h < 2; ++h) {
    // The correction of a half reads a few bits past its end: into the next half, or into the
    // always-zero slots after the frame.
    auto q = [&](int i, int o) { return f[kMcAccessHalfBits * h + 2 * i + o]; };
    std::uint8_t* e = &d[30 * h];
    for (int i = 0; i < 30; ++i) {
      if (i < 3) {
        e[i] = q(i, 0) != q(i, 13) ? q(i, 13) : q(i, 0) ^ q(i, 20);
      } else if ((q(i, 0) ^ q(i, 13) ^ e[i - 3]) == 1) {
        e[i] = q(i, 13);
      } else {
        e[i] = q(i, 6) == q(i, 19) ? 1 : 0;
      }
    }
  }
  return d;
}

}  // namespace tarvo
