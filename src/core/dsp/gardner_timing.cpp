#include "core/dsp/gardner_timing.h"

#include <cmath>

namespace tarvo {
namespace {

constexpr double kPowerSmoothing = 1.0 / 64.0;
constexpr double kPowerFloor = 1e-30;
// Corrections beyond this share of half a bit are noise, not timing.
constexpr double kMaxStep = 0.25;

}  // namespace

GardnerTiming::GardnerTiming(double samplesPerBit, double gain)
    : halfPeriod_(0.5 * samplesPerBit), gain_(gain), next_(halfPeriod_) {}

double GardnerTiming::Interpolate(double at) const {
  // Four-point Lagrange cubic between history_[1] (time -2) and history_[2] (time -1).
  const double mu = at + 2.0;
  const double p0 = history_[0];
  const double p1 = history_[1];
  const double p2 = history_[2];
  const double p3 = history_[3];
  const double a = -mu * (mu - 1.0) * (mu - 2.0) / 6.0;
  const double b = (mu + 1.0) * (mu - 1.0) * (mu - 2.0) / 2.0;
  const double c = -(mu + 1.0) * mu * (mu - 2.0) / 2.0;
  const double d = (mu + 1.0) * mu * (mu - 1.0) / 6.0;
  return a * p0 + b * p1 + c * p2 + d * p3;
}

bool GardnerTiming::Push(double x, TimedBit& bit) {
  history_[0] = history_[1];
  history_[1] = history_[2];
  history_[2] = history_[3];
  history_[3] = x;
  next_ -= 1.0;
  if (next_ > -1.0) return false;

  const double value = Interpolate(next_);
  if (!nextIsCentre_) {
    middle_ = value;
    next_ += halfPeriod_;
    nextIsCentre_ = true;
    return false;
  }
  bit.value = value;
  bit.age = -next_;
  power_ += kPowerSmoothing * (value * value - power_);
  // Late centres leave the middle past the crossing, on the side of the new bit.
  double error = middle_ * (lastCentre_ - value) / (2.0 * power_ + kPowerFloor);
  error = std::fmax(-kMaxStep, std::fmin(kMaxStep, gain_ * error));
  lastCentre_ = value;
  next_ += halfPeriod_ * (1.0 + error);
  nextIsCentre_ = false;
  return true;
}

}  // namespace tarvo
