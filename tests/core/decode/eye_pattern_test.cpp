#include "core/decode/eye_pattern.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace tarvo {
namespace {

// Feeds one block with strobes at the given samples and every sample at `value`.
void Push(EyePattern& eye, MainState& state, const std::vector<int>& strobes, int pixelsPerSample,
          double value = 0.0) {
  state.EyeSamples.fill(value);
  state.EyeStrobes.fill(0);
  for (int i : strobes) state.EyeStrobes[i] = 1;
  eye.UpdateEyePattern(pixelsPerSample);
}

std::vector<int> Every(int step, int first = 0) {
  std::vector<int> at;
  for (int i = first; i < kEyeBlockSamples; i += step) at.push_back(i);
  return at;
}

TEST(EyePattern, SweepsStartAtEverySecondStrobe) {
  struct Case {
    const char* name;
    std::vector<int> strobes;
    int pixelsPerSample;
    std::size_t segments;
    int widest;  // largest x reached
  };
  const Case cases[] = {
      {"no strobes", {}, 10, 0, 0},
      {"one strobe", {100}, 10, 0, 0},
      {"two strobes", {100, 200}, 10, 311, 3110},  // one sweep to the end of the block
      {"three samples apart", Every(3), 30, 508, 180},
      {"second strobe on the last start", {509, 510}, 10, 1, 10},
      {"second strobe only at 511", {0, 511}, 10, 0, 0},  // sample 511 only ends a segment
  };
  for (const Case& c : cases) {
    MainState state;
    EyePattern eye(state);
    Push(eye, state, c.strobes, c.pixelsPerSample);
    EXPECT_EQ(eye.Segments().size(), c.segments) << c.name;
    int widest = 0;
    for (const EyeSegment& s : eye.Segments()) widest = std::max({widest, s.x0, s.x1});
    EXPECT_EQ(widest, c.widest) << c.name;
  }
}

TEST(EyePattern, ThreeSamplesBetweenStrobesGiveSixSegmentSweeps) {
  MainState state;
  EyePattern eye(state);
  for (int i = 0; i < kEyeBlockSamples; ++i) state.EyeSamples[i] = 0.001 * i;
  state.EyeStrobes.fill(0);
  for (int i : Every(3)) state.EyeStrobes[i] = 1;
  eye.UpdateEyePattern(30);
  const auto segments = eye.Segments();
  // Sweeps start at samples 3, 9, 15, ...: x runs 0..180 in six steps of 30.
  for (int k = 0; k < 12; ++k) {
    const int i = 3 + k;
    const int q = k % 6 + 1;
    EXPECT_EQ(segments[k], (EyeSegment{(q - 1) * 30, static_cast<int>(75 - 250 * 0.001 * i), q * 30,
                                       static_cast<int>(75 - 250 * 0.001 * (i + 1))}))
        << k;
  }
}

TEST(EyePattern, RowsTruncateTowardZeroAndAreNotClipped) {
  struct Case {
    double sample;
    int row;
  };
  const Case cases[] = {
      {0.0, 75},  {0.2, 25},   {-0.1, 100},       {0.001, 74},  // 74.75
      {0.302, 0},                                               // -0.5 truncates to 0, not -1
      {0.4, -25}, {-0.4, 175}, {1e300, -1000000},               // far off, but no overflow
  };
  for (const Case& c : cases) {
    MainState state;
    EyePattern eye(state);
    Push(eye, state, {0, 1}, 10, c.sample);
    ASSERT_FALSE(eye.Segments().empty());
    EXPECT_EQ(eye.Segments()[0].y0, c.row) << c.sample;
  }
}

TEST(EyePattern, HistoryKeepsFiveBlocksAcrossDecoderChanges) {
  MainState state;
  EyePattern eye(state);
  Push(eye, state, Every(9), 10);  // one block of the first decoder
  const std::size_t oneBlock = eye.Segments().size();
  ASSERT_GT(oneBlock, 0u);
  for (int n = 1; n <= 4; ++n) {
    Push(eye, state, {}, 30);  // the other decoder, no signal
    EXPECT_EQ(eye.Segments().size(), oneBlock) << n;
  }
  // Sweeps of 18 samples, drawn at the newest call's scale.
  EXPECT_EQ(std::max_element(eye.Segments().begin(), eye.Segments().end(),
                             [](const EyeSegment& a, const EyeSegment& b) { return a.x1 < b.x1; })
                ->x1,
            18 * 30);
  Push(eye, state, {}, 30);
  EXPECT_TRUE(eye.Segments().empty());
}

TEST(EyePattern, CentreLinesTurnSilverWithTheFirstUpdate) {
  MainState state;
  EyePattern eye(state);
  int repaints = 0;
  eye.SetUpdateListener([&] { ++repaints; });
  auto centre = [&] { return eye.Graticule()[0].rgb; };
  EXPECT_EQ(centre(), kEyeWhite);
  EXPECT_EQ(eye.Graticule()[1].rgb, kEyeWhite);
  Push(eye, state, {}, 10);
  EXPECT_EQ(centre(), kEyeSilver);
  EXPECT_EQ(repaints, 1);
}

}  // namespace
}  // namespace tarvo
