// The capture front-end: turns one buffer of interleaved 16-bit stereo frames into the decoder
// block (channel pick, decimation to 11025 Hz, input gain), drives the input level bar, hands
// the block to the selected decoder and counts down the "制御" lamp.
#pragma once

#include <array>
#include <cstdint>

#include "core/audio/block_decoder.h"
#include "core/base/main_state.h"
#include "core/dsp/filter_designs.h"

namespace tarvo {

struct CaptureFormat {
  int CaptureRate = 11025;
  int CaptureFrames = 512;  // frames per capture buffer: always 512/11025 s
};

// 0 -> 11025, 1 -> 22050, 2 -> 44100; any other index -> 11025.
CaptureFormat SelectCaptureRate(int sampleRateIndex);

class CaptureFrontEnd {
 public:
  CaptureFrontEnd(MainState& state, const FilterDesigns& designs, BlockDecoder& mcaccess,
                  BlockDecoder& jsmr);

  // One capture buffer of 512, 1024 or 2048 frames (11025, 22050 or 44100 samples per
  // second); a buffer of any other length is ignored.
  void ProcessInputBlock(const std::int16_t* interleavedStereo, int frames);

  double InputLevel() const { return inputLevel_; }
  // The anti-alias filter's delay line, newest sample first.
  std::array<double, kFirTaps> DecimationDelayLine() const { return decimation_.Line(); }

 private:
  MainState& state_;
  const FilterDesigns& designs_;
  BlockDecoder& mcaccess_;
  BlockDecoder& jsmr_;
  // One delay line for both decimating rates; never cleared.
  Fir51 decimation_;
  std::array<double, 4 * kBlockSamples> work_{};
  InputBlock block_{};
  double inputLevel_ = 0.0;
};

}  // namespace tarvo
