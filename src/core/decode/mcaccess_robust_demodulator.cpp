#include "core/decode/mcaccess_robust_demodulator.h"

#include <cmath>
#include <numbers>

#include "core/base/decode_health.h"
#include "core/decode/eye_pattern_sink.h"
#include "core/decode/mcaccess_call_supervision.h"

namespace tarvo {
namespace {

constexpr double kBitRate = 1200.0;
constexpr double kCentreHz = 1500.0;
// The mixed-down tones lie at -300 Hz (a 1) and +300 Hz (a 0); the main lobe of the data
// reaches about 900 Hz; a narrower filter keeps more noise out than it costs the data.
constexpr double kLowPassHz = 650.0;
constexpr double kLowPassBeta = 4.0;
// The phase turn is looked at over nine samples, 0.98 of a bit.
constexpr int kDetectorDelay = 9;
constexpr double kTimingGain = 0.06;
// The eye shows the detector output scaled so that the bits sit where the exact demodulator's
// do, at +-0.172.
constexpr double kEyeLevel = 0.172;
constexpr double kEyeSmoothing = 0.25;
// A frame is taken when its sync word and body disagree with the decoded word only in a few,
// mostly unsure, decisions. Noise alone comes nowhere near.
constexpr int kMaxSyncErrors = 2;
constexpr double kMaxSoftErrors = 5.0;
// Without a check word, a frame whose least sure bit is nearly a toss-up is not taken.
constexpr double kMinMargin = 1.0;

}  // namespace

McAccessRobustDemodulator::McAccessRobustDemodulator(MainState& state, const FilterDesigns& designs,
                                                     const Services& services,
                                                     McAccessFrameSink& frames)
    : state_(state),
      services_(services),
      frames_(frames),
      lowPassI_(DesignShortLowPass<kLowPassTaps>(kLowPassHz, kDecoderRate, kLowPassBeta)),
      lowPassQ_(DesignShortLowPass<kLowPassTaps>(kLowPassHz, kDecoderRate, kLowPassBeta)),
      timing_(kDecoderRate / kBitRate, kTimingGain),
      tone_(designs.mcaccessTone) {
  for (int n = 0; n < kMixerPeriod; ++n) {
    const double phase = 2.0 * std::numbers::pi * kCentreHz * n / kDecoderRate;
    mixCos_[n] = std::cos(phase);
    mixSin_[n] = -std::sin(phase);
  }
}

void McAccessRobustDemodulator::DecodeBlock(InputBlock& block) {
  monitorBlock_ = block;
  if (state_.OnControlChannel) {
    Demodulate(block);
    if (services_.eye != nullptr && services_.eye->IsShowing()) {
      services_.eye->UpdateEyePattern(10);
    }
    SearchFrames();
  }
  double toneSum = 0.0;
  for (const double x : monitorBlock_) toneSum += std::fabs(tone_.Step(x));
  toneLevel_ = 0.5 * (1.0 / kBlockSamples) * toneSum;

  CountMcAccessReceptionLamp(state_);
  SuperviseMcAccessCall(state_, services_, monitorBlock_, toneLevel_);
}

void McAccessRobustDemodulator::Demodulate(const InputBlock& block) {
  const double eyeGain = eyeScale_ > 0.0 ? kEyeLevel / eyeScale_ : 0.0;
  double magnitudeSum = 0.0;
  blockBitCount_ = 0;
  state_.EyeStrobes.fill(0);
  for (int j = 0; j < kBlockSamples; ++j) {
    const double i = lowPassI_.Push(block[j] * mixCos_[mixIndex_]);
    const double q = lowPassQ_.Push(block[j] * mixSin_[mixIndex_]);
    mixIndex_ = mixIndex_ + 1 == kMixerPeriod ? 0 : mixIndex_ + 1;

    const int past = (delayHead_ - kDetectorDelay) & 15;
    // Im(z[n] conj z[n-9]): a quarter turn back for a 1, forward for a 0.
    const double turn = q * delayI_[past] - i * delayQ_[past];
    delayI_[delayHead_] = i;
    delayQ_[delayHead_] = q;
    delayHead_ = (delayHead_ + 1) & 15;

    state_.EyeSamples[j] = turn * eyeGain;
    TimedBit bit;
    if (timing_.Push(turn, bit)) {
      magnitudeSum += std::fabs(bit.value);
      blockSoft_[blockBitCount_++] = -bit.value;
      const int at = j - static_cast<int>(std::lround(bit.age));
      state_.EyeStrobes[at < 0 ? 0 : at] = 1;
    }
  }
  if (blockBitCount_ == 0) return;
  const double mean = magnitudeSum / blockBitCount_;
  eyeScale_ = eyeScale_ > 0.0 ? eyeScale_ + kEyeSmoothing * (mean - eyeScale_) : mean;
}

void McAccessRobustDemodulator::SearchFrames() {
  for (int n = 0; n < blockBitCount_; ++n) {
    soft_[softCount_++ % kSoftRing] = blockSoft_[n];
    if (holdOff_ > 0) {
      --holdOff_;
      continue;
    }
    if (softCount_ < static_cast<std::uint64_t>(kMcAccessSoftBits)) continue;
    const std::uint64_t first = softCount_ - kMcAccessSoftBits;
    for (int k = 0; k < kMcAccessSyncBits; ++k) window_[k] = soft_[(first + k) % kSoftRing];
    const int syncErrors = McAccessSyncErrors(window_.data());
    if (syncErrors > kMaxSyncErrors) continue;
    for (int k = kMcAccessSyncBits; k < kMcAccessSoftBits; ++k) {
      window_[k] = soft_[(first + k) % kSoftRing];
    }
    const McAccessSoftDecision d = DecodeMcAccessSoftFrame(window_.data());
    if (d.softErrors > kMaxSoftErrors || d.margin < kMinMargin) {
      // Counted as the exact demodulator counts: a clean sync word whose frame is refused.
      if (syncErrors == 0 && services_.health != nullptr) services_.health->FrameRejected();
      continue;
    }
    holdOff_ = kMcAccessSoftBits - 1;
    if (services_.health != nullptr) services_.health->FrameAccepted();
    frames_.InterpretMcAccessFrame(d.word);
  }
}

}  // namespace tarvo
