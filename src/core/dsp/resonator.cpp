#include "core/dsp/resonator.h"

#include <cmath>
#include <numbers>

namespace tarvo {

ResonatorCoefficients DesignResonator(double centreHz, double bandwidthHz, double gain,
                                      double sampleRate) {
  const double t = 1.0 / sampleRate;
  const double pi = std::numbers::pi;
  ResonatorCoefficients c;
  c.a1 = 2.0 * std::exp(-pi * bandwidthHz * t) * std::cos(2.0 * pi * centreHz * t);
  c.a2 = -std::exp(-2.0 * pi * bandwidthHz * t);
  c.b0 = gain * std::sin(2.0 * pi * centreHz * t);
  return c;
}

}  // namespace tarvo
