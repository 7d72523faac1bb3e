// Per-block cost of the block path with the robust demodulators (capture front-end and robust
// McAccess or JSMR demodulator) at each capture rate, as a multiple of real time.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "block_counters.h"
#include "core/audio/capture_front_end.h"
#include "core/base/main_state.h"
#include "core/decode/jsmr_robust_demodulator.h"
#include "core/decode/mcaccess_robust_demodulator.h"
#include "core/dsp/filter_designs.h"
#include "support/jsmr_modulator.h"
#include "support/mcaccess_modulator.h"

namespace tarvo {
namespace {

class DroppingWords : public McAccessFrameSink, public JsmrWordSink {
 public:
  void InterpretMcAccessFrame(const McAccessWord& word) override {
    benchmark::DoNotOptimize(word.data());
  }
  void InterpretJsmrWord(const JsmrWord& word) override { benchmark::DoNotOptimize(word.data()); }
  void SuperviseJsmrLine(InputBlock& block) override { benchmark::DoNotOptimize(block.data()); }
};

// A few seconds of weak control channel (noise as strong as the signal) at the capture rate.
std::vector<std::int16_t> Recording(DecoderType type, const CaptureFormat& format) {
  std::mt19937 random(6);
  if (type == DecoderType::kMcAccess) {
    std::vector<McAccessWord> words;
    for (int n = 0; n < 24; ++n) words.push_back(testing::RandomMcAccessWord(random));
    testing::ModulatorOptions options;
    options.sampleRate = format.CaptureRate;
    options.noiseRms = 4000.0;
    return testing::ModulateFrames(words, options);
  }
  testing::JsmrSignalOptions options;
  options.sampleRate = format.CaptureRate;
  options.noise = 4000.0;
  testing::JsmrModulator modulator(options);
  for (int n = 0; n < 96; ++n) {
    modulator.QueueIdle(30);
    modulator.QueueFrame({static_cast<int>(random() % 256), static_cast<int>(random() % 256), n % 2,
                          static_cast<int>(random() % 720)});
  }
  const int blocks = modulator.QueuedBits() * format.CaptureRate / 3600 / format.CaptureFrames + 1;
  return modulator.Render(blocks * format.CaptureFrames);
}

void RunRobust(benchmark::State& state, DecoderType type) {
  const CaptureFormat format = SelectCaptureRate(static_cast<int>(state.range(0)));
  const std::vector<std::int16_t> recording = Recording(type, format);
  MainState main;
  main.Decoder = type;
  const FilterDesigns designs = ComputeFilterDesigns();
  DroppingWords sink;
  McAccessRobustDemodulator mcaccess(main, designs, Services{}, sink);
  JsmrRobustDemodulator jsmr(main, Services{}, sink);
  CaptureFrontEnd frontEnd(main, designs, mcaccess, jsmr);
  const std::size_t blocks = recording.size() / 2 / format.CaptureFrames;
  std::size_t next = 0;
  for (auto _ : state) {
    frontEnd.ProcessInputBlock(recording.data() + 2 * next * format.CaptureFrames,
                               format.CaptureFrames);
    next = next + 1 == blocks ? 0 : next + 1;
  }
  bench::SetBlockCounters(state);
}

void BM_BlockPathMcAccessRobust(benchmark::State& state) {
  RunRobust(state, DecoderType::kMcAccess);
}
BENCHMARK(BM_BlockPathMcAccessRobust)->ArgName("rateIndex")->DenseRange(0, 2);

void BM_BlockPathJsmrRobust(benchmark::State& state) {
  RunRobust(state, DecoderType::kJsmr);
}
BENCHMARK(BM_BlockPathJsmrRobust)->ArgName("rateIndex")->DenseRange(0, 2);

}  // namespace
}  // namespace tarvo
