#include "core/sim/simulated_capture.h"

#include <chrono>
#include <vector>

namespace tarvo::sim {

bool SimulatedCapture::Open(int, int rate, int framesPerBlock, BlockRing& ring) {
  Close();
  air_.SetSampleRate(rate);
  running_ = true;
  thread_ = std::thread([this, rate, framesPerBlock, &ring] {
    std::vector<std::int16_t> block(2 * static_cast<std::size_t>(framesPerBlock));
    const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(static_cast<double>(framesPerBlock) / rate));
    auto due = std::chrono::steady_clock::now() + period;
    while (running_) {
      std::this_thread::sleep_until(due);
      due += period;
      air_.Render(framesPerBlock, block.data());
      const int completed = ring.Write(block.data(), 2 * framesPerBlock);
      for (int i = 0; i < completed; ++i) announce_();
    }
  });
  return true;
}

void SimulatedCapture::Close() {
  running_ = false;
  if (thread_.joinable()) thread_.join();
}

}  // namespace tarvo::sim
