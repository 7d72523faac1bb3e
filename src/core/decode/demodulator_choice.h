// The block decoder the front-end sees for one decoder type: hands each block to the exact or
// the robust demodulator, as the run-time state chooses at that block.
#pragma once

#include "core/audio/block_decoder.h"
#include "core/base/main_state.h"

namespace tarvo {

class DemodulatorChoice : public BlockDecoder {
 public:
  DemodulatorChoice(const MainState& state, BlockDecoder& exact, BlockDecoder& robust)
      : state_(state), exact_(exact), robust_(robust) {}

  void DecodeBlock(InputBlock& block) override {
    (state_.Demod == Demodulation::kRobust ? robust_ : exact_).DecodeBlock(block);
  }

 private:
  const MainState& state_;
  BlockDecoder& exact_;
  BlockDecoder& robust_;
};

}  // namespace tarvo
