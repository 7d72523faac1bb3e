// The sound card's recording side: 16-bit stereo blocks copied into a ring by the device's
// own thread, which announces each completed block.
#pragma once

#include "core/audio/block_ring.h"

namespace tarvo {

inline constexpr int kCaptureSlots = 32;

class CaptureDevice {
 public:
  virtual ~CaptureDevice() = default;
  // Starts recording interleaved left/right frames at rate from deviceIndex (0 = default
  // input, n = the n-th input device) into ring, whose slots the caller has sized for one
  // block each. Each completed block is announced from the device's thread. False when the
  // device cannot be opened; nothing runs then.
  virtual bool Open(int deviceIndex, int rate, int framesPerBlock, BlockRing& ring) = 0;
  // Stops recording; once it returns the ring is no longer written. Harmless when closed.
  virtual void Close() = 0;
  // True once an open recording has ended by itself (device gone, sound server stopped); it
  // stays so until the next Open.
  virtual bool Failed() { return false; }
};

}  // namespace tarvo
