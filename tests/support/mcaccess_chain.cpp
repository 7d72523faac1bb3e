#include "support/mcaccess_chain.h"

namespace tarvo::testing {

McAccessChain::McAccessChain(McAccessFrameSink* sink)
    : designs(ComputeFilterDesigns()),
      demodulator(state, designs, world.services(), sink != nullptr ? *sink : frames),
      frontEnd(state, designs, demodulator, jsmr) {}

void McAccessChain::Feed(const std::vector<std::int16_t>& interleaved, int sampleRate,
                         const std::function<void()>& afterBlock) {
  const int buffer = SelectCaptureRate(sampleRate == 44100   ? 2
                                       : sampleRate == 22050 ? 1
                                                             : 0)
                         .CaptureFrames;
  const std::size_t frames = interleaved.size() / 2;
  for (std::size_t start = 0; start + buffer <= frames; start += buffer) {
    frontEnd.ProcessInputBlock(interleaved.data() + 2 * start, buffer);
    if (afterBlock) afterBlock();
  }
}

}  // namespace tarvo::testing
