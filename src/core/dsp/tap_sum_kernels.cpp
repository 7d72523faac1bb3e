#include "core/dsp/tap_sum_kernels.h"

#include <cstring>

namespace tarvo {
namespace {

// out[m] = sum over t of value[t] * source[t][m], t in order, for m = 0..count-1. Groups of
// Vectors x (lanes of V) outputs are summed side by side, each lane its own sum.
template <typename V, int Vectors>
[[gnu::always_inline]] inline void SumTaps(const double* const* source, const double* value,
                                           int taps, int count, double* out) {
  constexpr int kWidth = sizeof(V) / sizeof(double);
  constexpr int kGroup = Vectors * kWidth;
  int m = 0;
  for (; m + kGroup <= count; m += kGroup) {
    V acc[Vectors];
    for (int n = 0; n < Vectors; ++n) acc[n] = V{};
    for (int t = 0; t < taps; ++t) {
      const double c = value[t];
      const double* s = source[t] + m;
      for (int n = 0; n < Vectors; ++n) {
        V x;
        std::memcpy(&x, s + n * kWidth, sizeof x);
        acc[n] = acc[n] + c * x;
      }
    }
    std::memcpy(out + m, acc, sizeof acc);
  }
  for (; m < count; ++m) {
    double sum = 0.0;
    for (int t = 0; t < taps; ++t) sum += value[t] * source[t][m];
    out[m] = sum;
  }
}

using Double2 = double __attribute__((vector_size(16)));
using Double4 = double __attribute__((vector_size(32)));
using Double8 = double __attribute__((vector_size(64)));

void SumTapsBaseline(const double* const* source, const double* value, int taps, int count,
                     double* out) {
  SumTaps<Double2, 4>(source, value, taps, count, out);
}

#if defined(__x86_64__) && defined(__GNUC__)
// Wider registers only: separate multiplies and adds, never fused, so every machine gives the
// same bits.
[[gnu::target("avx2")]] void SumTapsAvx2(const double* const* source, const double* value, int taps,
                                         int count, double* out) {
  SumTaps<Double4, 4>(source, value, taps, count, out);
}

[[gnu::target("avx512f")]] void SumTapsAvx512(const double* const* source, const double* value,
                                              int taps, int count, double* out) {
  SumTaps<Double8, 4>(source, value, taps, count, out);
}
#endif

}  // namespace

std::vector<TapSumVariant> TapSumVariants() {
  std::vector<TapSumVariant> variants = {{"baseline", SumTapsBaseline, true}};
#if defined(__x86_64__) && defined(__GNUC__)
  variants.push_back({"avx2", SumTapsAvx2, __builtin_cpu_supports("avx2") != 0});
  variants.push_back({"avx512f", SumTapsAvx512, __builtin_cpu_supports("avx512f") != 0});
#endif
  return variants;
}

TapSumKernel BestTapSumKernel() {
  TapSumKernel best = SumTapsBaseline;
  for (const TapSumVariant& v : TapSumVariants()) {
    if (v.available) best = v.kernel;
  }
  return best;
}

}  // namespace tarvo
