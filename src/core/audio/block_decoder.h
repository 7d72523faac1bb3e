// The decoder side of the capture front-end: one 512-sample block at 11025 samples per second,
// in raw 16-bit units after decimation and input gain. A decoder may overwrite it.
#pragma once

#include <array>

#include "core/audio/monitor_sink.h"

namespace tarvo {

using InputBlock = std::array<double, kBlockSamples>;

class BlockDecoder {
 public:
  virtual ~BlockDecoder() = default;
  virtual void DecodeBlock(InputBlock& block) = 0;
};

}  // namespace tarvo
