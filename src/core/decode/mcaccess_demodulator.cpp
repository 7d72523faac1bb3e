#include "core/decode/mcaccess_demodulator.h"

#include <cmath>

#include "core/base/decode_health.h"
#include "core/decode/eye_pattern_sink.h"
#include "core/decode/mcaccess_call_supervision.h"

namespace tarvo {
namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kCentrePhaseStep = 0.855;  // about 1500.3 Hz
constexpr int kHilbertCentre = 25;
constexpr int kClockDelay = 10;
constexpr double kClockHigh = 10.0;
// Sync word as received, oldest bit in the most significant place: 000100110101111.
constexpr std::uint32_t kSyncWord = 0b000100110101111;
constexpr std::uint32_t kSyncMask = (1u << 15) - 1;

}  // namespace

McAccessDemodulator::McAccessDemodulator(MainState& state, const FilterDesigns& designs,
                                         const Services& services, McAccessFrameSink& frames)
    : state_(state),
      services_(services),
      frames_(frames),
      bandPass_(designs.mcaccessBandPass),
      hilbert_(designs.mcaccessHilbert),
      lowPass_(designs.mcaccessLowPass),
      clock_(designs.mcaccessClock),
      tone_(designs.mcaccessTone) {}

void McAccessDemodulator::McAccessDecodeBlock(InputBlock& block) {
  blockBitCount_ = 0;
  monitorBlock_ = block;

  if (state_.OnControlChannel) {
    Discriminate(block);
    ClockAndTone(true);
    if (services_.eye != nullptr && services_.eye->IsShowing()) {
      services_.eye->UpdateEyePattern(10);
    }
    AssembleFrames();
  } else {
    ClockAndTone(false);
  }

  CountMcAccessReceptionLamp(state_);
  SuperviseMcAccessCall(state_, services_, monitorBlock_, toneLevel_);
}

void McAccessDemodulator::Discriminate(InputBlock& block) {
  // Stage by stage over the block; every sum keeps its tap order.
  double* bandPassed = &bandPassed_[kHilbertCentre];
  bandPass_.Process(block.data(), bandPassed, kBlockSamples);
  hilbert_.Process(bandPassed, quadrature_.data(), kBlockSamples);

  double previous = lastPhase_;
  for (int j = 0; j < kBlockSamples; ++j) {
    const double i = bandPassed_[j];  // 25 samples late
    const double q = quadrature_[j];
    const double phase = (i == 0.0 || q == 0.0) ? 0.0 : std::atan2(i, q);
    double step = previous - phase;
    if (step < 0.0) step += kTwoPi;
    previous = phase;
    block[j] = step - kCentrePhaseStep;
  }
  lastPhase_ = previous;
  for (int j = 0; j < kHilbertCentre; ++j) bandPassed_[j] = bandPassed_[kBlockSamples + j];

  lowPass_.Process(block.data(), state_.EyeSamples.data(), kBlockSamples);
}

void McAccessDemodulator::ClockAndTone(bool decideBits) {
  // The clock and the tone detector are independent two-pole recursions: stepping them in one
  // loop lets each one's latency hide behind the other's. Locals keep the byte-wide strobe
  // stores from forcing the recursions' state back to memory.
  Resonator tone = tone_;
  double toneSum = 0.0;
  if (decideBits) {
    Resonator clock = clock_;
    std::array<double, 16> history = clockHistory_;
    int head = clockHead_;
    double lastSign = lastClockSign_;
    int bitCount = 0;
    std::array<std::uint8_t, kBlockSamples> strobes;
    const double* filtered = state_.EyeSamples.data();
    for (int j = 0; j < kBlockSamples; ++j) {
      toneSum += std::fabs(tone.Step(monitorBlock_[j]));
      const double r = filtered[j];
      head = (head + 1) & 15;
      history[head] = clock.Step(std::fabs(r));
      const double delayed = history[(head - kClockDelay) & 15];
      const double sign = delayed < 0.0 ? -kClockHigh : kClockHigh;
      const bool strobe = lastSign < sign;
      blockBits_[bitCount] = r < 0.0 ? 1 : 0;
      bitCount += strobe ? 1 : 0;
      strobes[j] = strobe ? 1 : 0;
      lastSign = sign;
    }
    clock_ = clock;
    clockHistory_ = history;
    clockHead_ = head;
    lastClockSign_ = lastSign;
    blockBitCount_ = bitCount;
    state_.EyeStrobes = strobes;
  } else {
    for (int j = 0; j < kBlockSamples; ++j) toneSum += std::fabs(tone.Step(monitorBlock_[j]));
  }
  tone_ = tone;
  toneLevel_ = 0.5 * (1.0 / kBlockSamples) * toneSum;
}

void McAccessDemodulator::AssembleFrames() {
  for (int n = 0; n < blockBitCount_; ++n) AcceptBit(blockBits_[n]);
}

void McAccessDemodulator::AcceptBit(std::uint8_t bit) {
  bool complete = false;
  if (inFrame_) {
    frameBits_[frameBitCount_++] = bit;
    if (frameBitCount_ >= kMcAccessFrameBits) {
      complete = true;
      inFrame_ = false;
    }
  } else {
    syncRegister_ = ((syncRegister_ << 1) | bit) & kSyncMask;
    if (syncRegister_ == kSyncWord) {
      inFrame_ = true;
      frameBitCount_ = 0;
    }
  }
  if (!complete) return;
  syncRegister_ = 0;
  const auto word = CheckMcAccessFrame(frameBits_);
  if (services_.health != nullptr) {
    word ? services_.health->FrameAccepted() : services_.health->FrameRejected();
  }
  if (word) frames_.InterpretMcAccessFrame(*word);
}

}  // namespace tarvo
