#include "core/decode/jsmr_robust_demodulator.h"

#include <cmath>

#include "core/base/decode_health.h"
#include "core/decode/eye_pattern_sink.h"
#include "core/dsp/resonator.h"

namespace tarvo {
namespace {

constexpr double kFullScale = 30000.0;
constexpr double kBitRate = 3600.0;
// Narrower than the exact channel filter: most of the data's energy lies below 1800 Hz.
constexpr double kFilterHz = 2000.0;
constexpr double kFilterBeta = 5.0;
constexpr double kTimingGain = 0.06;
constexpr int kEyePixelsPerSample = 30;
// A frame is taken when the check agrees and its sync word and body disagree with the decoded
// frame only in a few, mostly unsure, decisions. Noise alone comes nowhere near.
constexpr int kMaxSyncErrors = 1;
constexpr double kMaxSoftErrors = 3.0;

}  // namespace

JsmrRobustDemodulator::JsmrRobustDemodulator(MainState& state, Services services,
                                             JsmrWordSink& sink)
    : state_(state),
      services_(services),
      sink_(sink),
      filter_(DesignShortLowPass<kFilterTaps>(kFilterHz, kDecoderRate, kFilterBeta)),
      timing_(kDecoderRate / kBitRate, kTimingGain) {}

void JsmrRobustDemodulator::DecodeBlock(InputBlock& block) {
  monitorCopy_ = block;
  if (state_.JsmrOnLine) {
    state_.Panel1 = Colour::kBlack;
  } else {
    Demodulate(block);
    SearchFrames();
  }
  if (state_.CheckBox1.checked && services_.eye != nullptr && services_.eye->IsShowing()) {
    services_.eye->UpdateEyePattern(kEyePixelsPerSample);
  }
  sink_.SuperviseJsmrLine(monitorCopy_);
}

void JsmrRobustDemodulator::Demodulate(const InputBlock& block) {
  const double polarity = state_.DecoderPolarity;
  blockBitCount_ = 0;
  state_.EyeStrobes.fill(0);
  for (int i = 0; i < kBlockSamples; ++i) {
    const double y = filter_.Push(block[i] / kFullScale) * polarity;
    state_.EyeSamples[i] = y;
    TimedBit bit;
    if (timing_.Push(y, bit)) {
      blockSoft_[blockBitCount_++] = -bit.value;  // the negative level is a 1
      const int at = i - static_cast<int>(std::lround(bit.age));
      state_.EyeStrobes[at < 0 ? 0 : at] = 1;
    }
  }
}

void JsmrRobustDemodulator::SearchFrames() {
  for (int n = 0; n < blockBitCount_; ++n) {
    soft_[softCount_++ % kSoftRing] = blockSoft_[n];
    if (holdOff_ > 0) {
      --holdOff_;
      continue;
    }
    if (softCount_ < static_cast<std::uint64_t>(kJsmrSoftBits)) continue;
    const std::uint64_t first = softCount_ - kJsmrSoftBits;
    for (int k = 0; k < kJsmrSyncBits; ++k) window_[k] = soft_[(first + k) % kSoftRing];
    const int syncErrors = JsmrSyncErrors(window_.data());
    if (syncErrors > kMaxSyncErrors) continue;
    for (int k = kJsmrSyncBits; k < kJsmrSoftBits; ++k) window_[k] = soft_[(first + k) % kSoftRing];
    const JsmrSoftDecision d = DecodeJsmrSoftFrame(window_.data());
    if (!d.word || d.softErrors > kMaxSoftErrors) {
      // Only what the exact synchroniser would have taken for a frame darkens the lamp.
      if (syncErrors == 0) {
        state_.Panel1 = Colour::kBlack;
        if (services_.health != nullptr) services_.health->FrameRejected();
      }
      continue;
    }
    holdOff_ = kJsmrSoftBits - 1;
    if (state_.JsmrOnLine) {
      // An earlier word of this block sent the receiver away; later ones are not for us.
      state_.Panel1 = Colour::kBlack;
    } else {
      if (services_.health != nullptr) services_.health->FrameAccepted();
      sink_.InterpretJsmrWord(*d.word);
    }
  }
}

}  // namespace tarvo
