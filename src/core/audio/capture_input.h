// The sound input as the window thread sees it: open and close the recording device with its
// ring of 32 blocks, take the filled blocks in the order they were recorded, and, watched from a
// timer, notice a recording that has died and open it again with the same device and rate.
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

// How often Supervise should run: a lost input is tried again at this pace.
inline constexpr int kCaptureWatchMs = 2000;

class CaptureInput {
 public:
  // services: the notice for the start-up failure, the events for lost and back.
  CaptureInput(MainState& state, Services services, CaptureDevice& device)
      : state_(state), services_(services), device_(device) {}

  // Opens device InputDevice (0 = default, n = device n - 1) for blocks of captureFrames
  // frames at captureRate; a failure is reported to the operator and leaves the input closed
  // (Supervise then keeps trying).
  void OpenCaptureInput(int captureRate, int captureFrames);
  void CloseCaptureInput();
  bool IsOpen() const { return open_; }

  // Runs process on the oldest recorded block, then frees its slot. False when none waits.
  bool TakeBlock(const CaptureBlockHandler& process);

  // Every kCaptureWatchMs while the input is wanted: an open recording that has failed, or has
  // delivered no block for two whole periods, is closed and reported lost; a wanted input that
  // is closed is opened again, silently, and reported back when it opens. True when the input
  // changed between lost and running.
  bool Supervise();
  // Wanted open but not recording.
  bool Lost() const { return wanted_ && !open_; }

  std::int64_t DroppedSamples() const { return ring_.DroppedSamples(); }

 private:
  bool OpenDevice();
  void Report(const char* what);

  MainState& state_;
  Services services_;
  CaptureDevice& device_;
  BlockRing ring_;
  bool open_ = false;
  bool wanted_ = false;  // between OpenCaptureInput and CloseCaptureInput
  int rate_ = 0;
  int frames_ = 0;
  int blocksSinceWatch_ = 0;
  int quietWatches_ = 0;
  // Changes with every open and close, so a block taken before a re-open (from a handler
  // that pumped events) does not free a slot of the new recording.
  int generation_ = 0;
};

}  // namespace tarvo
