// Bit timing from a Gardner detector: interpolates a sampled baseband waveform at the bit
// centres and half way between them, and nudges the bit phase so that the half-way points sit
// on the zero crossings. One sample in, at most one bit out.
#pragma once

#include <array>

namespace tarvo {

struct TimedBit {
  double value = 0.0;  // the waveform at the bit centre
  double age = 0.0;    // how many samples before the newest one the centre lay (1..2)
};

class GardnerTiming {
 public:
  // gain: share of a bit period the phase moves for a full-scale timing error.
  GardnerTiming(double samplesPerBit, double gain);

  // Takes the next sample; true when a bit centre has been passed, described in bit.
  bool Push(double x, TimedBit& bit);

 private:
  double Interpolate(double at) const;

  double halfPeriod_;
  double gain_;
  std::array<double, 4> history_{};  // history_[3] newest
  double next_;                      // time of the next event, newest sample at 0
  bool nextIsCentre_ = true;
  double middle_ = 0.0;
  double lastCentre_ = 0.0;
  double power_ = 0.0;  // running mean square of the bit centres
};

}  // namespace tarvo
