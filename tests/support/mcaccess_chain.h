// The capture front-end and the McAccess demodulator wired to recorders: feed it a recording,
// read back the frames, lamps and out-calls.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "core/audio/block_decoder.h"
#include "core/audio/capture_front_end.h"
#include "core/base/main_state.h"
#include "core/decode/mcaccess_demodulator.h"
#include "core/decode/mcaccess_frame.h"
#include "core/dsp/filter_designs.h"
#include "support/recorders.h"

namespace tarvo::testing {

class RecordingFrameSink : public McAccessFrameSink {
 public:
  void InterpretMcAccessFrame(const McAccessWord& word) override {
    words.push_back(word);
    if (onFrame) onFrame(word);
  }
  std::vector<McAccessWord> words;
  std::function<void(const McAccessWord&)> onFrame;
};

// A decoder that only counts and keeps the last block it was handed.
class RecordingDecoder : public BlockDecoder {
 public:
  void DecodeBlock(InputBlock& block) override {
    last = block;
    ++blocks;
  }
  InputBlock last{};
  int blocks = 0;
};

struct McAccessChain {
  // Frames go to sink when given, else to the recorder `frames`.
  explicit McAccessChain(McAccessFrameSink* sink = nullptr);

  // Splits interleaved stereo at the given rate into capture buffers and processes each whole
  // buffer; calls afterBlock after each.
  void Feed(const std::vector<std::int16_t>& interleaved, int sampleRate,
            const std::function<void()>& afterBlock = {});

  MainState state;
  FilterDesigns designs;
  RecordingWorld world;
  RecordingFrameSink frames;
  RecordingDecoder jsmr;
  McAccessDemodulator demodulator;
  CaptureFrontEnd frontEnd;
};

}  // namespace tarvo::testing
