// Window-method FIR designs (Kaiser and rectangular windows) for the 51-tap filters, with every
// coefficient rounded to 9 significant digits as the filters use them.
#pragma once

#include "core/dsp/fir51.h"

namespace tarvo {

// Zeroth-order modified Bessel function of the first kind.
double BesselI0(double x);

// Kaiser's beta for a stop-band attenuation in dB.
double KaiserBeta(double attenuationDb);

// x rounded to the given number of significant decimal digits.
double RoundSignificant(double x, int digits = 9);

// w[n] = I0(beta * sqrt(1 - (k/25)^2)) / I0(beta), k = n - 25.
FirCoefficients KaiserWindow(double beta);

// Ideal low-pass sin(2 pi fc k / fs) / (pi k), centre 2 fc / fs, times the window, rounded.
FirCoefficients DesignLowPass(double cutoffHz, double sampleRate, const FirCoefficients& window);

// Ideal band-pass (difference of two low-passes) times the window, rounded.
FirCoefficients DesignBandPass(double lowHz, double highHz, double sampleRate,
                               const FirCoefficients& window);

// Unwindowed band elimination: the negated band-pass, centre 1 - 2 (high - low) / fs, rounded.
FirCoefficients DesignBandStop(double lowHz, double highHz, double sampleRate);

}  // namespace tarvo
