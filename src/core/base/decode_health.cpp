#include "core/base/decode_health.h"

#include "core/base/tracking_events.h"

namespace tarvo {

void DecodeHealth::FrameAccepted() {
  ++frames_;
  silentSeconds_ = 0.0;
}

void DecodeHealth::FrameRejected() {
  ++rejected_;
}

void DecodeHealth::BlockDone(const MainState& state) {
  if (state.OnControlChannel) silentSeconds_ += kBlockSeconds;
  periodSeconds_ += kBlockSeconds;
  if (periodSeconds_ < kPeriodSeconds) return;
  periodSeconds_ -= kPeriodSeconds;
  if (events_ != nullptr) {
    TrackingEvent e;
    e.event = "health";
    e.frames = frames_;
    e.rejected = rejected_;
    e.silent = silentSeconds_;
    events_->Emit(std::move(e), state.Decoder);
  }
  frames_ = 0;
  rejected_ = 0;
}

}  // namespace tarvo
