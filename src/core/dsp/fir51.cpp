#include "core/dsp/fir51.h"

namespace tarvo {

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
  for (int i = 0; i < count; ++i) out[i] = Push(in[i]);
}

void Fir51::Decimate(const double* in, int count, int factor, double* out) {
  for (int i = 0; i < count; ++i) {
    const double y = Push(in[i]);
    if (i % factor == 0) out[i / factor] = y;
  }
}

std::array<double, kFirTaps> Fir51::Line() const {
  std::array<double, kFirTaps> line;
  for (int k = 0; k < kFirTaps; ++k) line[k] = ring_[head_ + k];
  return line;
}

}  // namespace tarvo
