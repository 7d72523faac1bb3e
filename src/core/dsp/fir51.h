// A 51-tap FIR filter in direct form over a delay line (newest sample first) that persists
// from block to block.
#pragma once

#include <array>

namespace tarvo {

inline constexpr int kFirTaps = 51;
using FirCoefficients = std::array<double, kFirTaps>;

class Fir51 {
 public:
  explicit Fir51(const FirCoefficients& coefficients) : coefficients_(coefficients) {}

  // Shifts x in and returns the sum of coefficient[k] * line[k] for k = 0..50, in that order.
  double Push(double x);

  // Push over a block; out may equal in.
  void Process(const double* in, double* out, int count);

  // Pushes count samples and writes only the outputs of samples 0, factor, 2 factor, ... of
  // them; the delay line still takes every sample.
  void Decimate(const double* in, int count, int factor, double* out);

  // A decimator may share one delay line between designs.
  void SetCoefficients(const FirCoefficients& coefficients) { coefficients_ = coefficients; }

  // line[0] is the newest sample.
  std::array<double, kFirTaps> Line() const;

 private:
  FirCoefficients coefficients_;
  // Each sample is stored twice so the 51 newest always lie contiguous from head_.
  std::array<double, 2 * kFirTaps> ring_{};
  int head_ = 0;
};

}  // namespace tarvo
