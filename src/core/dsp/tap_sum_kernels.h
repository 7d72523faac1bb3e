// The inner loop of the block FIR: many outputs summed side by side, each over its taps in
// order, in a plain variant and in wider-vector variants chosen by what the processor offers.
#pragma once

#include <vector>

namespace tarvo {

// out[m] = sum over t = 0..taps-1, in that order and starting from +0, of
// value[t] * source[t][m], for m = 0..count-1.
using TapSumKernel = void (*)(const double* const* source, const double* value, int taps, int count,
                              double* out);

struct TapSumVariant {
  const char* name;
  TapSumKernel kernel;
  bool available;  // this processor can run it
};

// Every variant built into the program.
std::vector<TapSumVariant> TapSumVariants();

// The widest variant this processor can run.
TapSumKernel BestTapSumKernel();

}  // namespace tarvo
