// The sound card's playback side as the monitor output drives it: 16-bit stereo at 11025 frames
// per second, fed one 512-frame block at a time into a ring of 16 slots.
#pragma once

#include <cstdint>

namespace tarvo {

inline constexpr int kOutputRate = 11025;
inline constexpr int kOutputSlots = 16;

class SoundOutputDevice {
 public:
  enum class OpenResult { kOk, kFailedOpen, kFailedBuffers };

  virtual ~SoundOutputDevice() = default;
  // deviceIndex 0 is the default output, n the n-th output device. On failure nothing stays
  // open or allocated.
  virtual OpenResult Open(int deviceIndex) = 0;
  // Queues 512 interleaved left/right frames into the next ring slot; a block whose slot the
  // device still holds is dropped. Reports nothing.
  virtual void QueueBlock(const std::int16_t* frames) = 0;
  // Stops playback and releases the ring; harmless when closed.
  virtual void Close() = 0;
};

}  // namespace tarvo
