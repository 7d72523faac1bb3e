// The JSMR control-channel demodulator: 3600 bit/s baseband data through the channel filter,
// bit-clock recovery, slicer, frame synchroniser and frame check, one 11025 Hz block at a time.
#pragma once

#include <array>
#include <cstdint>

#include "core/audio/block_decoder.h"
#include "core/base/main_state.h"
#include "core/base/services.h"
#include "core/decode/jsmr_frame.h"
#include "core/dsp/filter_designs.h"
#include "core/dsp/fir51.h"
#include "core/dsp/resonator.h"

namespace tarvo {

class JsmrDemodulator : public BlockDecoder {
 public:
  JsmrDemodulator(MainState& state, const FilterDesigns& designs, Services services,
                  JsmrWordSink& sink);

  void DecodeBlock(InputBlock& block) override { JsmrDecodeBlock(block); }

  // Demodulates the block unless a call line is being followed, passes every accepted word to
  // the sink, refreshes the eye window and hands the block to the line supervision.
  void JsmrDecodeBlock(const InputBlock& block);

 private:
  // A rising clock crossing takes a bit, so a block holds at most one per two samples.
  static constexpr int kMaxBitsPerBlock = kBlockSamples / 2;

  void Demodulate(const InputBlock& block);
  void Synchronise();

  MainState& state_;
  Services services_;
  JsmrWordSink& sink_;

  Fir51 channelFilter_;
  Resonator clock_;
  int clockState_ = 0;

  bool collecting_ = false;
  std::uint8_t syncRegister_ = 0;  // oldest bit in the top position
  int collected_ = 0;
  JsmrFrameBits frame_{};

  InputBlock monitorCopy_{};
  std::array<double, kBlockSamples> filtered_{};
  std::array<std::uint8_t, kMaxBitsPerBlock> bits_{};
  int bitCount_ = 0;
};

}  // namespace tarvo
