// Per-block cost of the McAccess demodulator and of its 51-tap filters.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "block_counters.h"
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

void BM_McAccessDecodeBlock(benchmark::State& state) {
  MainState main;
  const FilterDesigns designs = ComputeFilterDesigns();
  DroppingSink sink;
  McAccessDemodulator demodulator(main, designs, Services{}, sink);
  std::mt19937 random(2);
  std::vector<McAccessWord> words;
  for (int n = 0; n < 24; ++n) words.push_back(testing::RandomMcAccessWord(random));
  testing::ModulatorOptions options;
  options.noiseRms = 1500.0;
  const std::vector<std::int16_t> recording = testing::ModulateFrames(words, options);
  std::vector<InputBlock> blocks(recording.size() / 2 / kBlockSamples);
  for (std::size_t b = 0; b < blocks.size(); ++b) {
    for (int j = 0; j < kBlockSamples; ++j) blocks[b][j] = recording[2 * (b * kBlockSamples + j)];
  }
  std::size_t next = 0;
  InputBlock block;
  for (auto _ : state) {
    block = blocks[next];
    demodulator.McAccessDecodeBlock(block);
    next = next + 1 == blocks.size() ? 0 : next + 1;
  }
  bench::SetBlockCounters(state);
}
BENCHMARK(BM_McAccessDecodeBlock);

// One filter over one block, and a 44100 Hz buffer decimated by four.
void BM_Fir51(benchmark::State& state) {
  const int factor = static_cast<int>(state.range(0));
  const FilterDesigns designs = ComputeFilterDesigns();
  Fir51 fir(designs.decimation44);
  std::mt19937 random(3);
  std::uniform_real_distribution<double> sample(-30000.0, 30000.0);
  std::vector<double> in(kBlockSamples * factor);
  for (auto& x : in) x = sample(random);
  std::vector<double> out(kBlockSamples);
  for (auto _ : state) {
    if (factor == 1) {
      fir.Process(in.data(), out.data(), kBlockSamples);
    } else {
      fir.Decimate(in.data(), static_cast<int>(in.size()), factor, out.data());
    }
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_Fir51)->ArgName("factor")->Arg(1)->Arg(2)->Arg(4);

// The sparse Hilbert transformer: half its taps are zero.
void BM_Fir51Hilbert(benchmark::State& state) {
  const FilterDesigns designs = ComputeFilterDesigns();
  Fir51 fir(designs.mcaccessHilbert);
  std::vector<double> in(kBlockSamples, 1.0);
  for (int i = 0; i < kBlockSamples; ++i) in[i] = (i * 7919 % 613) - 300.0;
  std::vector<double> out(kBlockSamples);
  for (auto _ : state) {
    fir.Process(in.data(), out.data(), kBlockSamples);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_Fir51Hilbert);

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

// The floor: the discriminator's exact atan2 alone over one block.
void BM_Atan2Block(benchmark::State& state) {
  std::vector<double> i(kBlockSamples);
  std::vector<double> q(kBlockSamples);
  for (int j = 0; j < kBlockSamples; ++j) {
    i[j] = 9000.0 * std::sin(0.7 * j);
    q[j] = 9000.0 * std::cos(0.7 * j + 0.01);
  }
  std::vector<double> out(kBlockSamples);
  for (auto _ : state) {
    for (int j = 0; j < kBlockSamples; ++j) out[j] = std::atan2(i[j], q[j]);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_Atan2Block);

}  // namespace
}  // namespace tarvo
