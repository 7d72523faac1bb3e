// Every fixed filter of the program, designed once at start-up and shared read-only.
#pragma once

#include "core/dsp/fir51.h"
#include "core/dsp/resonator.h"

namespace tarvo {

struct FilterDesigns {
  // Capture front-end: 3000 Hz anti-alias low-passes before decimation to 11025 Hz.
  FirCoefficients decimation44;
  FirCoefficients decimation22;
  // McAccess discriminator: 700-2300 Hz band-pass, Hilbert transformer, 670 Hz low-pass.
  FirCoefficients mcaccessBandPass;
  FirCoefficients mcaccessHilbert;
  FirCoefficients mcaccessLowPass;
  // JSMR channel filter: 2500 Hz low-pass for 60 dB.
  FirCoefficients jsmrChannel;
  // Monitor output: 300-2700 Hz band-pass and 50-350 Hz band elimination.
  FirCoefficients monitorBandPass;
  FirCoefficients monitorBandStop;

  ResonatorCoefficients mcaccessClock;  // 1200 Hz, 10 Hz, 1e-9
  ResonatorCoefficients mcaccessTone;   // 168 Hz, 20 Hz, 1
  ResonatorCoefficients jsmrClock;      // 3600 Hz, 10 Hz, 1e-6
  ResonatorCoefficients jsmrTone;       // 150 Hz, 2 Hz, 0.1
};

FilterDesigns ComputeFilterDesigns();

}  // namespace tarvo
