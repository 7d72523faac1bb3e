// The sound input as the window thread sees it: open and close the recording device with its
// ring of 32 blocks, and take the filled blocks in the order they were recorded.
#pragma once

#include <cstdint>
#include <functional>

#include "core/audio/block_ring.h"
#include "core/audio/capture_device.h"
#include "core/base/main_state.h"
#include "core/base/services.h"

namespace tarvo {

// Interleaved left/right 16-bit frames and their count.
using CaptureBlockHandler = std::function<void(const std::int16_t*, int)>;

class CaptureInput {
 public:
  CaptureInput(MainState& state, Services services, CaptureDevice& device)
      : state_(state), services_(services), device_(device) {}

  // Opens device InputDevice (0 = default, n = device n - 1) for blocks of captureFrames
  // frames at captureRate; a failure is reported to the operator and leaves the input closed.
  void OpenCaptureInput(int captureRate, int captureFrames);
  void CloseCaptureInput();
  bool IsOpen() const { return open_; }

  // Runs process on the oldest recorded block, then frees its slot. False when none waits.
  bool TakeBlock(const CaptureBlockHandler& process);

  std::int64_t DroppedSamples() const { return ring_.DroppedSamples(); }

 private:
  MainState& state_;
  Services services_;
  CaptureDevice& device_;
  BlockRing ring_;
  bool open_ = false;
  int frames_ = 0;
  // Changes with every open and close, so a block taken before a re-open (from a handler
  // that pumped events) does not free a slot of the new recording.
  int generation_ = 0;
};

}  // namespace tarvo
