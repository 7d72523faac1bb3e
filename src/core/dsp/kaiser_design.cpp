#include "core/dsp/kaiser_design.h"

#include <charconv>
#include <cmath>
#include <numbers>

namespace tarvo {
namespace {

constexpr int kCentre = kFirTaps / 2;

// sin(2 pi f k / fs) / (pi k) for k != 0.
double IdealLowPassTap(double cutoffHz, double sampleRate, int k) {
  const double pi = std::numbers::pi;
  return std::sin(2.0 * pi * cutoffHz * k / sampleRate) / (pi * k);
}

}  // namespace

double BesselI0(double x) {
  // Power series; converges quickly for the arguments a 51-tap design needs.
  double sum = 1.0;
  double term = 1.0;
  const double quarterSquare = x * x / 4.0;
  for (int k = 1; k < 200; ++k) {
    term *= quarterSquare / (static_cast<double>(k) * k);
    sum += term;
    if (term < sum * 1e-17) break;
  }
  return sum;
}

double KaiserBeta(double attenuationDb) {
  if (attenuationDb > 50.0) return 0.1102 * (attenuationDb - 8.7);
  if (attenuationDb > 21.0)
    return 0.5842 * std::pow(attenuationDb - 21.0, 0.4) + 0.07886 * (attenuationDb - 21.0);
  return 0.0;
}

double RoundSignificant(double x, int digits) {
  if (x == 0.0 || !std::isfinite(x)) return x;
  char text[64];
  const auto printed =
      std::to_chars(text, text + sizeof text, x, std::chars_format::scientific, digits - 1);
  double rounded = x;
  std::from_chars(text, printed.ptr, rounded, std::chars_format::scientific);
  return rounded;
}

FirCoefficients KaiserWindow(double beta) {
  FirCoefficients w{};
  const double denominator = BesselI0(beta);
  for (int n = 0; n < kFirTaps; ++n) {
    const double r = static_cast<double>(n - kCentre) / kCentre;
    w[n] = BesselI0(beta * std::sqrt(1.0 - r * r)) / denominator;
  }
  return w;
}

FirCoefficients DesignLowPass(double cutoffHz, double sampleRate, const FirCoefficients& window) {
  FirCoefficients c{};
  for (int n = 0; n < kFirTaps; ++n) {
    const int k = n - kCentre;
    const double ideal =
        k == 0 ? 2.0 * cutoffHz / sampleRate : IdealLowPassTap(cutoffHz, sampleRate, k);
    c[n] = RoundSignificant(ideal * window[n]);
  }
  return c;
}

FirCoefficients DesignBandPass(double lowHz, double highHz, double sampleRate,
                               const FirCoefficients& window) {
  FirCoefficients c{};
  for (int n = 0; n < kFirTaps; ++n) {
    const int k = n - kCentre;
    const double ideal =
        k == 0 ? 2.0 * (highHz - lowHz) / sampleRate
               : IdealLowPassTap(highHz, sampleRate, k) - IdealLowPassTap(lowHz, sampleRate, k);
    c[n] = RoundSignificant(ideal * window[n]);
  }
  return c;
}

FirCoefficients DesignBandStop(double lowHz, double highHz, double sampleRate) {
  FirCoefficients c{};
  for (int n = 0; n < kFirTaps; ++n) {
    const int k = n - kCentre;
    const double ideal =
        k == 0 ? 1.0 - 2.0 * (highHz - lowHz) / sampleRate
               : -(IdealLowPassTap(highHz, sampleRate, k) - IdealLowPassTap(lowHz, sampleRate, k));
    c[n] = RoundSignificant(ideal);
  }
  return c;
}

}  // namespace tarvo
