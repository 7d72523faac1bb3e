// The robust JSMR demodulator, an opt-in alternative to the exact one: a filter matched to
// the data's band, a Gardner loop for the bit timing, and soft decisions through a Viterbi
// decoder of the frame's convolutional code, with the frame check as the final word. It feeds
// the same word sink, eye pattern, lamp and line supervision as the exact one.
#pragma once

#include <array>
#include <cstdint>

#include "core/audio/block_decoder.h"
#include "core/base/main_state.h"
#include "core/base/services.h"
#include "core/decode/jsmr_frame.h"
#include "core/decode/jsmr_soft_frame.h"
#include "core/dsp/gardner_timing.h"
#include "core/dsp/short_fir.h"

namespace tarvo {

class JsmrRobustDemodulator : public BlockDecoder {
 public:
  JsmrRobustDemodulator(MainState& state, Services services, JsmrWordSink& sink);

  void DecodeBlock(InputBlock& block) override;

 private:
  static constexpr int kFilterTaps = 25;
  static constexpr int kSoftRing = 128;

  void Demodulate(const InputBlock& block);
  void SearchFrames();

  MainState& state_;
  Services services_;
  JsmrWordSink& sink_;

  ShortFir<kFilterTaps> filter_;
  GardnerTiming timing_;

  std::array<double, kBlockSamples> blockSoft_{};
  int blockBitCount_ = 0;
  std::array<double, kSoftRing> soft_{};
  std::uint64_t softCount_ = 0;
  int holdOff_ = 0;  // bits still inside the last accepted frame
  std::array<double, kJsmrSoftBits> window_{};

  InputBlock monitorCopy_{};
};

}  // namespace tarvo
