// What the tracker does with JSMR: shows each accepted word, sends the receiver to admitted
// calls, and supervises a followed line block by block (tone detector, monitor path, lamps)
// until a 150 Hz tone ends the call.
#pragma once

#include <string>

#include "core/base/main_state.h"
#include "core/base/services.h"
#include "core/decode/jsmr_frame.h"
#include "core/dsp/filter_designs.h"

namespace tarvo {

class JsmrInterpreter : public JsmrWordSink {
 public:
  // The monitor path opens on this supervised block of a call...
  static constexpr int kMonitorOpenBlock = 6;
  // ...and the tone can end the call only after this many blocks.
  static constexpr int kHoldBlocks = 20;

  JsmrInterpreter(MainState& state, const FilterDesigns& designs, Services services);

  void InterpretJsmrWord(const JsmrWord& word) override;
  void SuperviseJsmrLine(InputBlock& monitorCopy) override;

  // Blocks supervised since the last tune to a line, up to kHoldBlocks.
  int JsmrLineBlocks() const { return lineBlocks_; }
  // Mean magnitude of the 150 Hz detector over the last block.
  double ToneLevel() const { return toneLevel_; }

 private:
  void TuneToLine(double lineFrequency);
  void ReleaseLine();
  void WriteSilence();
  void ShowControlLine();

  MainState& state_;
  Services services_;
  ResonatorCoefficients tone_;
  double w1_ = 0.0;
  double w2_ = 0.0;
  double toneLevel_ = 0.0;
  int lineBlocks_ = 0;
  InputBlock scratch_{};  // a silent write zeroes whatever it is given
};

}  // namespace tarvo
