// A short FIR filter of N taps over its own delay line, and a Kaiser-windowed low-pass design
// for it with unit gain at DC. For the robust demodulators, which need no bit-exact filters.
#pragma once

#include <array>
#include <cmath>
#include <numbers>

#include "core/dsp/kaiser_design.h"

namespace tarvo {

template <int N>
using ShortTaps = std::array<double, N>;

template <int N>
ShortTaps<N> DesignShortLowPass(double cutoffHz, double sampleRate, double beta) {
  static_assert(N % 2 == 1, "a linear-phase low-pass with a centre tap");
  constexpr int kCentre = N / 2;
  ShortTaps<N> taps{};
  double sum = 0.0;
  for (int n = 0; n < N; ++n) {
    const int k = n - kCentre;
    const double ratio = static_cast<double>(k) / kCentre;
    const double window = BesselI0(beta * std::sqrt(1.0 - ratio * ratio)) / BesselI0(beta);
    const double ideal = k == 0 ? 2.0 * cutoffHz / sampleRate
                                : std::sin(2.0 * std::numbers::pi * cutoffHz * k / sampleRate) /
                                      (std::numbers::pi * k);
    taps[n] = ideal * window;
    sum += taps[n];
  }
  for (double& t : taps) t /= sum;
  return taps;
}

template <int N>
class ShortFir {
 public:
  explicit ShortFir(const ShortTaps<N>& taps) : taps_(taps) {}

  double Push(double x) {
    head_ = head_ == 0 ? N - 1 : head_ - 1;
    line_[head_] = x;
    line_[head_ + N] = x;  // the N newest always lie contiguous from head_
    const double* newest = &line_[head_];
    double sum = 0.0;
    for (int k = 0; k < N; ++k) sum += taps_[k] * newest[k];
    return sum;
  }

 private:
  ShortTaps<N> taps_;
  std::array<double, 2 * N> line_{};
  int head_ = 0;
};

}  // namespace tarvo
