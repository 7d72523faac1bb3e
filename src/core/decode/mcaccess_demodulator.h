// The McAccess control-channel demodulator: frequency discriminator, bit clock, sync search and
// frame assembly on the control channel, and the per-block call supervision (tone detector,
// lamps, the signal-loss watchdog and the monitor routing) everywhere.
#pragma once

#include <array>
#include <cstdint>

#include "core/audio/block_decoder.h"
#include "core/base/main_state.h"
#include "core/base/services.h"
#include "core/decode/mcaccess_frame.h"
#include "core/decode/mcaccess_frame_check.h"
#include "core/dsp/filter_designs.h"

namespace tarvo {

class McAccessDemodulator : public BlockDecoder {
 public:
  McAccessDemodulator(MainState& state, const FilterDesigns& designs, const Services& services,
                      McAccessFrameSink& frames);

  void DecodeBlock(InputBlock& block) override { McAccessDecodeBlock(block); }

  // One block; the discriminator overwrites block in place.
  void McAccessDecodeBlock(InputBlock& block);

  double ToneLevel() const { return toneLevel_; }

 private:
  void Discriminate(InputBlock& block);
  // Steps the bit clock (deciding bits) when decideBits, and the tone detector always.
  void ClockAndTone(bool decideBits);
  void AssembleFrames();
  void AcceptBit(std::uint8_t bit);

  MainState& state_;
  Services services_;
  McAccessFrameSink& frames_;

  // Discriminator.
  Fir51 bandPass_;
  Fir51 hilbert_;
  Fir51 lowPass_;
  // Band-passed samples: the 25 of the previous block, then this block's (the in-phase branch
  // is the band-passed signal delayed to the Hilbert transformer's centre).
  std::array<double, 25 + kBlockSamples> bandPassed_{};
  std::array<double, kBlockSamples> quadrature_{};
  double lastPhase_ = 0.0;

  // Bit clock: resonator on |r|, its output delayed by 10 samples, squared to +-10.
  Resonator clock_;
  std::array<double, 16> clockHistory_{};
  int clockHead_ = 0;
  double lastClockSign_ = 0.0;

  // This block's decided bits.
  std::array<std::uint8_t, kBlockSamples> blockBits_{};
  int blockBitCount_ = 0;

  // Sync search and frame assembly.
  std::uint32_t syncRegister_ = 0;  // 15 bits, newest in bit 0
  bool inFrame_ = false;
  int frameBitCount_ = 0;
  McAccessFrameBits frameBits_{};

  // Call supervision.
  InputBlock monitorBlock_{};
  Resonator tone_;
  double toneLevel_ = 0.0;
};

}  // namespace tarvo
