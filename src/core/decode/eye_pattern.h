// The eye-pattern window TForm20 without its widgets: the last five blocks of the active
// decoder's filtered samples and bit strobes, turned into the line segments and graticule the
// view paints on its 180 x 150 picture.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>

#include "core/base/main_state.h"
#include "core/decode/eye_pattern_sink.h"

namespace tarvo {

inline constexpr int kEyeWidth = 180;
inline constexpr int kEyeHeight = 150;
inline constexpr int kEyeSlots = 5;
inline constexpr int kEyeBlockSamples = 512;
inline constexpr int kEyeMaxSegments = kEyeSlots * (kEyeBlockSamples - 1);

inline constexpr std::uint32_t kEyeWhite = 0xFFFFFF;
inline constexpr std::uint32_t kEyeGray = 0x808080;
inline constexpr std::uint32_t kEyeYellow = 0xFFFF00;
inline constexpr std::uint32_t kEyeSilver = 0xC0C0C0;

struct EyeSegment {
  int x0, y0, x1, y1;
  friend bool operator==(const EyeSegment&, const EyeSegment&) = default;
};

// A 1-pixel dotted line of the graticule, colour as 0xRRGGBB.
struct GraticuleLine {
  int x0, y0, x1, y1;
  std::uint32_t rgb;
};

inline constexpr int kGraticuleLines = 14;

class EyePattern : public EyePatternSink {
 public:
  explicit EyePattern(const MainState& state) : state_(state) {}

  bool IsShowing() const override { return showing_; }
  // The view reports whether its window is shown; updates come only while it is.
  void SetShowing(bool showing) { showing_ = showing; }

  // Pushes EyeSamples/EyeStrobes as the newest of five blocks and recomputes the sweeps.
  void UpdateEyePattern(int pixelsPerSample) override;

  // Called after each update so the view can repaint.
  void SetUpdateListener(std::function<void()> listener) { updateListener_ = listener; }

  // The white sweeps of the latest update (none before the first), oldest block first.
  std::span<const EyeSegment> Segments() const { return {segments_.data(), segmentCount_}; }
  // Centre lines white until the first update, silver afterwards.
  std::array<GraticuleLine, kGraticuleLines> Graticule() const;
  bool Updated() const { return updated_; }

 private:
  const MainState& state_;
  bool showing_ = false;
  bool updated_ = false;
  std::array<std::array<double, kEyeBlockSamples>, kEyeSlots> samples_{};
  std::array<std::array<std::uint8_t, kEyeBlockSamples>, kEyeSlots> strobes_{};
  std::array<EyeSegment, kEyeMaxSegments> segments_{};
  std::size_t segmentCount_ = 0;
  std::function<void()> updateListener_;
};

}  // namespace tarvo
