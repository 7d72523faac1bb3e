#include "core/dsp/filter_designs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <string>

#include "core/dsp/kaiser_design.h"

namespace tarvo {
namespace {

struct CheckValue {
  std::string name;
  double actual;
  double expected;
  int digits;  // significant digits the expected value is given to
};

// True when actual rounds to expected at the given number of significant digits.
bool Matches(double actual, double expected, int digits) {
  const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(expected))) - digits + 1);
  return std::fabs(actual - expected) <= 0.5 * unit * (1.0 + 1e-9);
}

double Sum(const FirCoefficients& c) {
  return std::accumulate(c.begin(), c.end(), 0.0);
}

TEST(FilterDesigns, ReproduceEveryPublishedCheckValue) {
  const FilterDesigns d = ComputeFilterDesigns();
  const CheckValue table[] = {
      {"beta 40 dB", KaiserBeta(40.0), 3.3953210522614574, 17},
      {"beta 60 dB", KaiserBeta(60.0), 5.65326, 6},
      {"decimation44 centre", d.decimation44[25], 0.136054422, 9},
      {"decimation44 first", d.decimation44[0], -0.00179421812, 9},
      {"decimation44 last", d.decimation44[50], -0.00179421812, 9},
      {"decimation44 sum", Sum(d.decimation44), 1.00534, 6},
      {"decimation22 centre", d.decimation22[25], 0.272108844, 9},
      {"decimation22 first", d.decimation22[0], 0.00109429042, 9},
      {"decimation22 last", d.decimation22[50], 0.00109429042, 9},
      {"decimation22 sum", Sum(d.decimation22), 1.00342, 6},
      {"mcaccess band-pass centre", d.mcaccessBandPass[25], 0.290249433, 9},
      {"mcaccess band-pass end", d.mcaccessBandPass[0], 0.00282201812, 9},
      {"mcaccess low-pass centre", d.mcaccessLowPass[25], 0.12154195, 8},
      {"mcaccess low-pass end", d.mcaccessLowPass[50], -0.0002275979, 7},
      {"hilbert m=1", d.mcaccessHilbert[26], 0.634911269, 9},
      {"hilbert m=-1", d.mcaccessHilbert[24], -0.634911269, 9},
      {"hilbert m=25", d.mcaccessHilbert[50], 0.00428520126, 9},
      {"hilbert m=-25", d.mcaccessHilbert[0], -0.00428520126, 9},
      {"jsmr channel centre", d.jsmrChannel[25], 0.453514739, 9},
      {"jsmr channel end", d.jsmrChannel[0], -0.000226636245, 9},
      {"jsmr channel 24", d.jsmrChannel[24], 0.313632543, 9},
      {"jsmr channel 26", d.jsmrChannel[26], 0.313632543, 9},
      {"jsmr channel sum", Sum(d.jsmrChannel), 1.000075, 7},
      {"monitor band-pass centre", d.monitorBandPass[25], 0.43537415, 8},
      {"monitor band-pass 0", d.monitorBandPass[0], 0.0030166544, 8},
      {"monitor band-pass 24", d.monitorBandPass[24], 0.263390751, 9},
      {"monitor band-stop centre", d.monitorBandStop[25], 0.945578231, 9},
      {"monitor band-stop 0", d.monitorBandStop[0], 0.0205788682, 9},
      {"monitor band-stop 24", d.monitorBandStop[24], -0.0540028089, 9},
      {"jsmr clock k0", d.jsmrClock.b0, 8.866e-7, 4},
      {"jsmr clock k1", d.jsmrClock.a1, -0.922444, 6},
      {"jsmr clock k2", d.jsmrClock.a2, -0.994317, 6},
      {"jsmr tone k0", d.jsmrTone.b0, 0.0085381, 5},
      {"jsmr tone k1", d.jsmrTone.a1, 1.991561, 7},
      {"jsmr tone k2", d.jsmrTone.a2, -0.998861, 6},
  };
  for (const CheckValue& c : table) {
    EXPECT_TRUE(Matches(c.actual, c.expected, c.digits))
        << c.name << ": got " << std::to_string(c.actual) << " (" << c.actual << "), want "
        << c.expected;
  }
}

TEST(FilterDesigns, LinearPhaseSetsAreSymmetricAndHilbertIsOdd) {
  const FilterDesigns d = ComputeFilterDesigns();
  for (const FirCoefficients* c :
       {&d.decimation44, &d.decimation22, &d.mcaccessBandPass, &d.mcaccessLowPass, &d.jsmrChannel,
        &d.monitorBandPass, &d.monitorBandStop}) {
    for (int n = 0; n < kFirTaps; ++n) EXPECT_EQ((*c)[n], (*c)[50 - n]) << "tap " << n;
  }
  for (int n = 0; n < kFirTaps; ++n) {
    EXPECT_EQ(d.mcaccessHilbert[n], -d.mcaccessHilbert[50 - n]) << "tap " << n;
    if ((n - 25) % 2 == 0) {
      EXPECT_EQ(d.mcaccessHilbert[n], 0.0) << "tap " << n;
    }
  }
}

TEST(Fir51, KeepsItsDelayLineAcrossBlocksNewestFirst) {
  FirCoefficients c{};
  c[0] = 1.0;
  c[2] = 10.0;
  Fir51 whole(c);
  Fir51 split(c);
  const double input[6] = {1, 2, 3, 4, 5, 6};
  double a[6];
  double b[6];
  whole.Process(input, a, 6);
  split.Process(input, b, 2);
  split.Process(input + 2, b + 2, 4);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(a[i], b[i]);
  EXPECT_EQ(a[5], 6.0 + 10.0 * 4.0);
  EXPECT_EQ(split.Line()[0], 6.0);
  EXPECT_EQ(split.Line()[5], 1.0);
}

}  // namespace
}  // namespace tarvo
