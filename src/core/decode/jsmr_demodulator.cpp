#include "core/decode/jsmr_demodulator.h"

#include <cmath>

#include "core/base/decode_health.h"
#include "core/decode/eye_pattern_sink.h"

namespace tarvo {
namespace {

constexpr double kFullScale = 30000.0;
constexpr std::uint8_t kSyncWord = 0b10101100;  // first received bit on top
constexpr int kClockHigh = 10;
constexpr int kClockLow = -10;
constexpr int kEyePixelsPerSample = 30;

}  // namespace

JsmrDemodulator::JsmrDemodulator(MainState& state, const FilterDesigns& designs, Services services,
                                 JsmrWordSink& sink)
    : state_(state),
      services_(services),
      sink_(sink),
      channelFilter_(designs.jsmrChannel),
      clock_(designs.jsmrClock) {}

void JsmrDemodulator::JsmrDecodeBlock(const InputBlock& block) {
  monitorCopy_ = block;
  if (state_.JsmrOnLine) {
    // The receiver is on a call line: nothing to demodulate, the state waits for the return.
    state_.Panel1 = Colour::kBlack;
  } else {
    Demodulate(block);
    Synchronise();
  }
  if (state_.CheckBox1.checked && services_.eye != nullptr && services_.eye->IsShowing()) {
    services_.eye->UpdateEyePattern(kEyePixelsPerSample);
  }
  sink_.SuperviseJsmrLine(monitorCopy_);
}

void JsmrDemodulator::Demodulate(const InputBlock& block) {
  for (int i = 0; i < kBlockSamples; ++i) filtered_[i] = block[i] / kFullScale;
  channelFilter_.Process(filtered_.data(), filtered_.data(), kBlockSamples);

  const double polarity = state_.DecoderPolarity;
  bitCount_ = 0;
  for (int i = 0; i < kBlockSamples; ++i) {
    const double y = filtered_[i] * polarity;
    state_.EyeSamples[i] = y;
    // The clock runs two samples behind the resonator: its output from two samples back.
    const double delayed = clock_.Y2();
    clock_.Step(-std::fabs(y));
    const int clock = delayed >= 0.0 ? kClockHigh : kClockLow;
    if (clock > clockState_) {
      bits_[bitCount_++] = y < 0.0 ? 1 : 0;
      state_.EyeStrobes[i] = 1;
    } else {
      state_.EyeStrobes[i] = 0;
    }
    clockState_ = clock;
  }
}

void JsmrDemodulator::Synchronise() {
  for (int n = 0; n < bitCount_; ++n) {
    const std::uint8_t bit = bits_[n];
    if (collecting_) {
      frame_[collected_++] = bit;
      if (collected_ < kJsmrBodyBits) continue;
      collecting_ = false;
      syncRegister_ = 0;
      if (state_.JsmrOnLine) {
        // An earlier word of this block sent the receiver away; later ones are not for us.
        state_.Panel1 = Colour::kBlack;
      } else if (auto word = DecodeJsmrFrame(frame_)) {
        if (services_.health != nullptr) services_.health->FrameAccepted();
        sink_.InterpretJsmrWord(*word);
      } else {
        if (services_.health != nullptr) services_.health->FrameRejected();
        state_.Panel1 = Colour::kBlack;
      }
      continue;
    }
    syncRegister_ = static_cast<std::uint8_t>((syncRegister_ << 1) | bit);
    if (syncRegister_ == kSyncWord) {
      collecting_ = true;
      collected_ = 0;
    }
  }
}

}  // namespace tarvo
