#include "core/dsp/filter_designs.h"

#include "core/dsp/kaiser_design.h"

namespace tarvo {
namespace {

// The Hilbert transformer's taps at odd distances m = 1, 3, ..., 25 from the centre; the
// taps are +v(m) after the centre, -v(m) before it and 0 at even distances.
constexpr double kHilbertOddTaps[13] = {
    0.634911269,   0.207124698,   0.118997505,   0.0795828187, 0.0566142469,
    0.0413302346,  0.0303816143,  0.0222121851,  0.0159941112, 0.0112363257,
    0.00761781302, 0.00490929468, 0.00428520126,
};

FirCoefficients HilbertTransformer() {
  FirCoefficients h{};
  for (int i = 0; i < 13; ++i) {
    const int m = 2 * i + 1;
    h[25 + m] = kHilbertOddTaps[i];
    h[25 - m] = -kHilbertOddTaps[i];
  }
  return h;
}

}  // namespace

FilterDesigns ComputeFilterDesigns() {
  const double fs = kDecoderRate;
  const FirCoefficients window40 = KaiserWindow(KaiserBeta(40.0));
  const FirCoefficients window60 = KaiserWindow(KaiserBeta(60.0));

  FilterDesigns d;
  d.decimation44 = DesignLowPass(3000.0, 44100.0, window40);
  d.decimation22 = DesignLowPass(3000.0, 22050.0, window40);
  d.mcaccessBandPass = DesignBandPass(700.0, 2300.0, fs, window40);
  d.mcaccessHilbert = HilbertTransformer();
  d.mcaccessLowPass = DesignLowPass(670.0, fs, window40);
  d.jsmrChannel = DesignLowPass(2500.0, fs, window60);
  d.monitorBandPass = DesignBandPass(300.0, 2700.0, fs, window40);
  d.monitorBandStop = DesignBandStop(50.0, 350.0, fs);

  d.mcaccessClock = DesignResonator(1200.0, 10.0, 1e-9);
  d.mcaccessTone = DesignResonator(168.0, 20.0, 1.0);
  d.jsmrClock = DesignResonator(3600.0, 10.0, 1e-6);
  d.jsmrTone = DesignResonator(150.0, 2.0, 0.1);
  return d;
}

}  // namespace tarvo
