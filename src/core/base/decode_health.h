// How well the control channel decodes: frames accepted and rejected (sync found, check failed)
// and how long the control channel has been silent, reported as a health event every 10 s of
// audio.
#pragma once

#include "core/base/main_state.h"

namespace tarvo {

class TrackingEvents;

class DecodeHealth {
 public:
  static constexpr double kBlockSeconds = 512.0 / 11025.0;
  static constexpr double kPeriodSeconds = 10.0;

  explicit DecodeHealth(TrackingEvents* events) : events_(events) {}

  void FrameAccepted();
  void FrameRejected();
  // After every block: counts its time (silence only while on the control channel) and emits a
  // health event once per period.
  void BlockDone(const MainState& state);

  // Seconds of control-channel listening since the last accepted frame.
  double SilentSeconds() const { return silentSeconds_; }

 private:
  TrackingEvents* events_;
  int frames_ = 0;
  int rejected_ = 0;
  double periodSeconds_ = 0.0;
  double silentSeconds_ = 0.0;
};

}  // namespace tarvo
