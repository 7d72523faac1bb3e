// The robust McAccess demodulator, an opt-in alternative to the exact one: the two tones are
// mixed down around 1500 Hz and detected by their phase turn over one bit, a Gardner loop
// times the bits, and frames are found and decoded from soft decisions. It feeds the same
// frame sink, eye pattern and lamps, and supervises calls as the exact one does.
#pragma once

#include <array>
#include <cstdint>

#include "core/audio/block_decoder.h"
#include "core/base/main_state.h"
#include "core/base/services.h"
#include "core/decode/mcaccess_frame.h"
#include "core/decode/mcaccess_soft_frame.h"
#include "core/dsp/filter_designs.h"
#include "core/dsp/gardner_timing.h"
#include "core/dsp/short_fir.h"

namespace tarvo {

class McAccessRobustDemodulator : public BlockDecoder {
 public:
  McAccessRobustDemodulator(MainState& state, const FilterDesigns& designs,
                            const Services& services, McAccessFrameSink& frames);

  void DecodeBlock(InputBlock& block) override;

  double ToneLevel() const { return toneLevel_; }

 private:
  static constexpr int kLowPassTaps = 21;
  static constexpr int kMixerPeriod = 147;  // 1500 Hz at 11025 Hz: 20 turns in 147 samples
  static constexpr int kSoftRing = 256;

  void Demodulate(const InputBlock& block);
  void SearchFrames();

  MainState& state_;
  Services services_;
  McAccessFrameSink& frames_;

  std::array<double, kMixerPeriod> mixCos_{};
  std::array<double, kMixerPeriod> mixSin_{};
  int mixIndex_ = 0;
  ShortFir<kLowPassTaps> lowPassI_;
  ShortFir<kLowPassTaps> lowPassQ_;
  std::array<double, 16> delayI_{};  // one bit of the mixed-down signal
  std::array<double, 16> delayQ_{};
  int delayHead_ = 0;
  GardnerTiming timing_;
  double eyeScale_ = 0.0;  // mean magnitude of the detector output at the bits

  // This block's soft bits, then the last kSoftRing of them for the frame search.
  std::array<double, kBlockSamples> blockSoft_{};
  int blockBitCount_ = 0;
  std::array<double, kSoftRing> soft_{};
  std::uint64_t softCount_ = 0;
  int holdOff_ = 0;  // bits still inside the last accepted frame
  std::array<double, kMcAccessSoftBits> window_{};

  InputBlock monitorBlock_{};
  Resonator tone_;
  double toneLevel_ = 0.0;
};

}  // namespace tarvo
