#include "core/dsp/fir51.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <vector>

#include "core/dsp/filter_designs.h"
#include "core/dsp/tap_sum_kernels.h"

namespace tarvo {
namespace {

std::uint64_t Bits(double x) {
  return std::bit_cast<std::uint64_t>(x);
}

// Samples with the awkward values a block path meets: exact zeros, runs of zeros, signed
// 16-bit extremes and small fractions.
std::vector<double> Signal(int count, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> value(-32768.0, 32767.0);
  std::vector<double> x(count);
  for (int i = 0; i < count; ++i) {
    switch (random() % 8) {
      case 0:
        x[i] = 0.0;
        break;
      case 1:
        x[i] = random() % 2 ? -32768.0 : 32767.0;
        break;
      case 2:
        x[i] = value(random) * 1e-7;
        break;
      default:
        x[i] = value(random);
    }
  }
  for (int i = count / 3; i < count / 3 + 60 && i < count; ++i) x[i] = 0.0;
  return x;
}

// The block paths give bit for bit what one Push per sample gives, for every design (the
// Hilbert transformer's zero taps included), across chunk edges and in any mix of calls.
TEST(Fir51, BlockPathsMatchThePlainLoopBitForBit) {
  const FilterDesigns d = ComputeFilterDesigns();
  const FirCoefficients* designs[] = {&d.decimation44,    &d.decimation22,    &d.mcaccessBandPass,
                                      &d.mcaccessHilbert, &d.mcaccessLowPass, &d.jsmrChannel,
                                      &d.monitorBandPass, &d.monitorBandStop};
  const int counts[] = {1, 3, 7, 8, 9, 511, 512, 1023, 1024, 1025, 2048, 3001};
  std::uint32_t seed = 1;
  for (const FirCoefficients* c : designs) {
    for (const int factor : {1, 2, 4}) {
      Fir51 plain(*c);
      Fir51 block(*c);
      for (const int count : counts) {
        const std::vector<double> in = Signal(count, ++seed);
        std::vector<double> out((count + factor - 1) / factor, -1.0);
        if (factor == 1) {
          block.Process(in.data(), out.data(), count);
        } else {
          block.Decimate(in.data(), count, factor, out.data());
        }
        for (int i = 0; i < count; ++i) {
          const double y = plain.Push(in[i]);
          if (i % factor == 0) {
            ASSERT_EQ(Bits(out[i / factor]), Bits(y))
                << "design " << (c - &d.decimation44) << " factor " << factor << " count " << count
                << " sample " << i;
          }
        }
        ASSERT_EQ(block.Line(), plain.Line());
        // Single pushes after a block continue from the same line.
        ASSERT_EQ(Bits(block.Push(in[0])), Bits(plain.Push(in[0])));
      }
    }
  }
}

// Every vector width the program carries, not only the one this machine picks.
TEST(Fir51, EveryTapSumVariantGivesThePlainSums) {
  const std::vector<double> data = Signal(4000, 77);
  const std::vector<double> values = Signal(51, 78);
  const double* source[51];
  for (int t = 0; t < 51; ++t) source[t] = data.data() + 37 * t;
  for (const TapSumVariant& variant : TapSumVariants()) {
    if (!variant.available) continue;
    for (const int count : {1, 31, 32, 33, 100, 512}) {
      std::vector<double> out(count);
      variant.kernel(source, values.data(), 51, count, out.data());
      for (int m = 0; m < count; ++m) {
        double sum = 0.0;
        for (int t = 0; t < 51; ++t) sum += values[t] * source[t][m];
        ASSERT_EQ(Bits(out[m]), Bits(sum)) << variant.name << " " << count << " " << m;
      }
    }
  }
}

TEST(Fir51, ProcessInPlace) {
  const FilterDesigns d = ComputeFilterDesigns();
  Fir51 plain(d.mcaccessLowPass);
  Fir51 block(d.mcaccessLowPass);
  std::vector<double> x = Signal(2500, 99);
  const std::vector<double> in = x;
  block.Process(x.data(), x.data(), static_cast<int>(x.size()));
  for (std::size_t i = 0; i < in.size(); ++i) ASSERT_EQ(Bits(x[i]), Bits(plain.Push(in[i]))) << i;
}

}  // namespace
}  // namespace tarvo
