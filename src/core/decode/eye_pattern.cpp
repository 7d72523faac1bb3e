#include "core/decode/eye_pattern.h"

#include <algorithm>
#include <cmath>

namespace tarvo {
namespace {

constexpr int kCentreY = 75;
constexpr double kPixelsPerUnit = 250.0;
// Far outside the picture; keeps a wild sample from overflowing the integer conversion.
constexpr double kFarOutside = 1.0e6;

// The row of a sample value, truncated toward zero; false for a value that is not a number.
bool SampleRow(double sample, int& row) {
  const double y = kCentreY - kPixelsPerUnit * sample;
  if (std::isnan(y)) return false;
  row = static_cast<int>(std::clamp(y, -kFarOutside, kFarOutside));
  return true;
}

}  // namespace

void EyePattern::UpdateEyePattern(int pixelsPerSample) {
  std::rotate(samples_.begin(), samples_.begin() + 1, samples_.end());
  std::rotate(strobes_.begin(), strobes_.begin() + 1, strobes_.end());
  std::copy(state_.EyeSamples.begin(), state_.EyeSamples.end(), samples_.back().begin());
  std::copy(state_.EyeStrobes.begin(), state_.EyeStrobes.end(), strobes_.back().begin());

  segmentCount_ = 0;
  for (int slot = 0; slot < kEyeSlots; ++slot) {
    const auto& s = samples_[slot];
    const auto& strobe = strobes_[slot];
    int sweep = 0;  // position within the current sweep, 0 before the slot's second strobe
    int strobes = 0;
    for (int i = 0; i < kEyeBlockSamples - 1; ++i) {
      if (strobe[i] != 0 && ++strobes == 2) {
        sweep = 1;
        strobes = 0;
      }
      if (sweep == 0) continue;
      int y0 = 0;
      int y1 = 0;
      if (SampleRow(s[i], y0) && SampleRow(s[i + 1], y1)) {
        segments_[segmentCount_++] = {(sweep - 1) * pixelsPerSample, y0, sweep * pixelsPerSample,
                                      y1};
      }
      ++sweep;
    }
  }
  updated_ = true;
  if (updateListener_) updateListener_();
}

std::array<GraticuleLine, kGraticuleLines> EyePattern::Graticule() const {
  const std::uint32_t centre = updated_ ? kEyeSilver : kEyeWhite;
  return {{
      {0, 75, kEyeWidth, 75, centre},
      {90, 0, 90, kEyeHeight, centre},
      {0, 55, kEyeWidth, 55, kEyeGray},
      {0, 35, kEyeWidth, 35, kEyeGray},
      {0, 95, kEyeWidth, 95, kEyeGray},
      {0, 115, kEyeWidth, 115, kEyeGray},
      {65, 0, 65, kEyeHeight, kEyeGray},
      {40, 0, 40, kEyeHeight, kEyeGray},
      {15, 0, 15, kEyeHeight, kEyeGray},
      {115, 0, 115, kEyeHeight, kEyeGray},
      {140, 0, 140, kEyeHeight, kEyeGray},
      {165, 0, 165, kEyeHeight, kEyeGray},
      {0, 15, kEyeWidth, 15, kEyeYellow},
      {0, 135, kEyeWidth, 135, kEyeYellow},
  }};
}

}  // namespace tarvo
