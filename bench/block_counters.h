// What the block-path benchmarks share: a decoder that only keeps its block, and the counters
// that turn iterations of one 512/11025 s block into time per block and a real-time factor.
#pragma once

#include <benchmark/benchmark.h>

#include "core/audio/block_decoder.h"

namespace tarvo::bench {

class IdleDecoder : public BlockDecoder {
 public:
  void DecodeBlock(InputBlock& block) override { benchmark::DoNotOptimize(block.data()); }
};

// Call after the timed loop, each iteration having processed one block.
inline void SetBlockCounters(benchmark::State& state) {
  constexpr double kBlockSeconds = kBlockSamples / 11025.0;
  const auto iterations = static_cast<double>(state.iterations());
  state.counters["block_time"] =
      benchmark::Counter(iterations, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["x_realtime"] =
      benchmark::Counter(iterations * kBlockSeconds, benchmark::Counter::kIsRate);
}

}  // namespace tarvo::bench
