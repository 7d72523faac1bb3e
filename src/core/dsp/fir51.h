// A 51-tap FIR filter in direct form over a delay line (newest sample first) that persists
// from block to block.
#pragma once

#include <array>

namespace tarvo {

inline constexpr int kFirTaps = 51;
inline constexpr int kMaxDecimation = 16;
using FirCoefficients = std::array<double, kFirTaps>;

class Fir51 {
 public:
  explicit Fir51(const FirCoefficients& coefficients) { SetCoefficients(coefficients); }

  // Shifts x in and returns the sum of coefficient[k] * line[k] for k = 0..50, in that order.
  double Push(double x);

  // Push over a block; out may equal in. The outputs are computed several at a time, each sum
  // still in tap order, so they are the same bits Push gives.
  void Process(const double* in, double* out, int count);

  // Pushes count samples and writes only the outputs of samples 0, factor, 2 factor, ... of
  // them; the delay line still takes every sample. factor is 1..kMaxDecimation.
  void Decimate(const double* in, int count, int factor, double* out);

  // A decimator may share one delay line between designs.
  void SetCoefficients(const FirCoefficients& coefficients);

  // line[0] is the newest sample.
  std::array<double, kFirTaps> Line() const;

 private:
  // The block path for one chunk of input: history and chunk in time order, outputs at
  // positions 0, factor, ... of the chunk.
  void FilterChunk(const double* in, int count, int factor, double* out);

  FirCoefficients coefficients_;
  // The non-zero taps in tap order: a zero tap adds nothing to a sum of finite products that
  // starts at +0, not even the sign of a zero.
  std::array<int, kFirTaps> tapIndex_{};
  std::array<double, kFirTaps> tapValue_{};
  int tapCount_ = 0;
  // Each sample is stored twice so the 51 newest always lie contiguous from head_.
  std::array<double, 2 * kFirTaps> ring_{};
  int head_ = 0;
};

}  // namespace tarvo
