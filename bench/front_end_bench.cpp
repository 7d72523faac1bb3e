// Per-block cost of the capture front-end at each capture rate, and of the whole block path
// (front-end and McAccess demodulator) as a multiple of real time.
#include <benchmark/benchmark.h>

#include <vector>

#include "block_counters.h"
#include "core/audio/capture_front_end.h"
#include "core/base/main_state.h"
#include "core/decode/mcaccess_demodulator.h"
#include "core/dsp/filter_designs.h"
#include "support/mcaccess_modulator.h"

namespace tarvo {
namespace {

class DroppingSink : public McAccessFrameSink {
 public:
  void InterpretMcAccessFrame(const McAccessWord& word) override {
    benchmark::DoNotOptimize(word.data());
  }
};

// A few seconds of control-channel signal with noise, at the capture rate of the index.
std::vector<std::int16_t> Recording(int rateIndex) {
  std::mt19937 random(1);
  std::vector<McAccessWord> words;
  for (int n = 0; n < 24; ++n) words.push_back(testing::RandomMcAccessWord(random));
  testing::ModulatorOptions options;
  options.sampleRate = SelectCaptureRate(rateIndex).CaptureRate;
  options.noiseRms = 1500.0;
  return testing::ModulateFrames(words, options);
}

void RunBlocks(benchmark::State& state, CaptureFrontEnd& frontEnd, int rateIndex) {
  const int frames = SelectCaptureRate(rateIndex).CaptureFrames;
  const std::vector<std::int16_t> recording = Recording(rateIndex);
  const std::size_t blocks = recording.size() / 2 / frames;
  std::size_t next = 0;
  for (auto _ : state) {
    frontEnd.ProcessInputBlock(recording.data() + 2 * next * frames, frames);
    next = next + 1 == blocks ? 0 : next + 1;
  }
  bench::SetBlockCounters(state);
}

void BM_FrontEnd(benchmark::State& state) {
  const int rateIndex = static_cast<int>(state.range(0));
  MainState main;
  const FilterDesigns designs = ComputeFilterDesigns();
  bench::IdleDecoder mcaccess;
  bench::IdleDecoder jsmr;
  CaptureFrontEnd frontEnd(main, designs, mcaccess, jsmr);
  RunBlocks(state, frontEnd, rateIndex);
}
BENCHMARK(BM_FrontEnd)->ArgName("rateIndex")->DenseRange(0, 2);

void BM_BlockPathMcAccess(benchmark::State& state) {
  const int rateIndex = static_cast<int>(state.range(0));
  MainState main;
  const FilterDesigns designs = ComputeFilterDesigns();
  DroppingSink sink;
  McAccessDemodulator demodulator(main, designs, Services{}, sink);
  bench::IdleDecoder jsmr;
  CaptureFrontEnd frontEnd(main, designs, demodulator, jsmr);
  RunBlocks(state, frontEnd, rateIndex);
}
BENCHMARK(BM_BlockPathMcAccess)->ArgName("rateIndex")->DenseRange(0, 2);

}  // namespace
}  // namespace tarvo
