// An accepted McAccess frame: 60 data bits D0..D59, each 0 or 1; multi-bit fields read with the
// lower index as the most significant bit.
#pragma once

#include <array>
#include <cstdint>

namespace tarvo {

using McAccessWord = std::array<std::uint8_t, 60>;

class McAccessFrameSink {
 public:
  virtual ~McAccessFrameSink() = default;
  virtual void InterpretMcAccessFrame(const McAccessWord& word) = 0;
};

}  // namespace tarvo
