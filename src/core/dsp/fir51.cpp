#include "core/dsp/fir51.h"

#include "core/dsp/tap_sum_kernels.h"

#include <algorithm>

namespace tarvo {
namespace {

constexpr int kHistory = kFirTaps - 1;
constexpr int kChunkInputs = 1024;

}  // namespace

void Fir51::SetCoefficients(const FirCoefficients& coefficients) {
  coefficients_ = coefficients;
  tapCount_ = 0;
  for (int k = 0; k < kFirTaps; ++k) {
    if (coefficients[k] == 0.0) continue;
    tapIndex_[tapCount_] = k;
    tapValue_[tapCount_] = coefficients[k];
    ++tapCount_;
  }
}

double Fir51::Push(double x) {
  head_ = head_ == 0 ? kFirTaps - 1 : head_ - 1;
  ring_[head_] = x;
  ring_[head_ + kFirTaps] = x;
  const double* line = &ring_[head_];
  double sum = 0.0;
  for (int k = 0; k < kFirTaps; ++k) sum += coefficients_[k] * line[k];
  return sum;
}

void Fir51::Process(const double* in, double* out, int count) {
  Decimate(in, count, 1, out);
}

void Fir51::Decimate(const double* in, int count, int factor, double* out) {
  if (factor < 1 || factor > kMaxDecimation) return;
  // Chunks hold whole groups of factor samples so the kept phase runs on.
  const int chunk = kChunkInputs / factor * factor;
  for (int done = 0; done < count; done += chunk) {
    const int n = std::min(chunk, count - done);
    FilterChunk(in + done, n, factor, out + done / factor);
  }
}

void Fir51::FilterChunk(const double* in, int count, int factor, double* out) {
  // z: the 50 newest samples of the line, then the chunk, oldest first.
  double z[kHistory + kChunkInputs];
  for (int k = 0; k < kHistory; ++k) z[kHistory - 1 - k] = ring_[head_ + k];
  std::copy(in, in + count, z + kHistory);
  const int length = kHistory + count;
  const int outputs = (count + factor - 1) / factor;

  // Output m is at z[kHistory + factor m]; tap k reads z[kHistory + factor m - k]. Split z into
  // factor phases so each tap reads consecutive values across consecutive outputs.
  double phases[kHistory + kChunkInputs + kMaxDecimation];
  const double* source[kFirTaps];
  if (factor == 1) {
    for (int t = 0; t < tapCount_; ++t) source[t] = z + kHistory - tapIndex_[t];
  } else {
    const int stride = length / factor + 1;
    for (int p = 0; p < factor; ++p) {
      double* phase = phases + p * stride;
      for (int i = p, t = 0; i < length; i += factor, ++t) phase[t] = z[i];
    }
    for (int t = 0; t < tapCount_; ++t) {
      const int at = kHistory - tapIndex_[t];
      source[t] = phases + (at % factor) * stride + at / factor;
    }
  }
  static const TapSumKernel sumTaps = BestTapSumKernel();
  sumTaps(source, tapValue_.data(), tapCount_, outputs, out);

  head_ = 0;
  for (int k = 0; k < kFirTaps; ++k) {
    ring_[k] = z[length - 1 - k];
    ring_[k + kFirTaps] = ring_[k];
  }
}

std::array<double, kFirTaps> Fir51::Line() const {
  std::array<double, kFirTaps> line;
  for (int k = 0; k < kFirTaps; ++k) line[k] = ring_[head_ + k];
  return line;
}

}  // namespace tarvo
