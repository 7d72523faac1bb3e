// Two-pole resonator y = b0*x + a1*y1 + a2*y2, tuned once at start-up.
#pragma once

namespace tarvo {

inline constexpr double kDecoderRate = 11025.0;

struct ResonatorCoefficients {
  double b0 = 0.0;
  double a1 = 0.0;
  double a2 = 0.0;
};

// Centre f, bandwidth w and gain g at the decoder rate:
// a1 = 2 e^(-pi w T) cos(2 pi f T), a2 = -e^(-2 pi w T), b0 = g sin(2 pi f T).
ResonatorCoefficients DesignResonator(double centreHz, double bandwidthHz, double gain,
                                      double sampleRate = kDecoderRate);

class Resonator {
 public:
  explicit Resonator(const ResonatorCoefficients& c) : c_(c) {}

  double Step(double x) {
    const double y = c_.b0 * x + c_.a1 * y1_ + c_.a2 * y2_;
    y2_ = y1_;
    y1_ = y;
    return y;
  }

  double Y1() const { return y1_; }
  double Y2() const { return y2_; }

 private:
  ResonatorCoefficients c_;
  double y1_ = 0.0;
  double y2_ = 0.0;
};

}  // namespace tarvo
