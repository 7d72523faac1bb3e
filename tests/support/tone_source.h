// A continuous sine tone cut into decoder blocks, for line audio in tests.
#pragma once

#include <cmath>
#include <numbers>

#include "core/audio/block_decoder.h"

namespace tarvo::testing {

class ToneSource {
 public:
  ToneSource(double frequencyHz, double amplitude, double sampleRate = 11025.0)
      : step_(2.0 * std::numbers::pi * frequencyHz / sampleRate), amplitude_(amplitude) {}

  InputBlock NextBlock() {
    InputBlock block{};
    for (double& x : block) x = amplitude_ * std::sin(step_ * static_cast<double>(sample_++));
    return block;
  }

 private:
  double step_;
  double amplitude_;
  long sample_ = 0;
};

}  // namespace tarvo::testing
