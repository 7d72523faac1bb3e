// A sound output device that records every queued block, and can be told to fail opening.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/audio/monitor_sink.h"
#include "core/audio/sound_output_device.h"

namespace tarvo::testing {

class RecordingOutputDevice : public SoundOutputDevice {
 public:
  using Block = std::array<std::int16_t, 2 * kBlockSamples>;

  OpenResult Open(int deviceIndex) override {
    opens.push_back(deviceIndex);
    return openResult;
  }
  void QueueBlock(const std::int16_t* frames) override {
    Block b;
    for (int i = 0; i < 2 * kBlockSamples; ++i) b[i] = frames[i];
    blocks.push_back(b);
  }
  void Close() override { ++closes; }

  OpenResult openResult = OpenResult::kOk;
  std::vector<int> opens;
  std::vector<Block> blocks;
  int closes = 0;
};

}  // namespace tarvo::testing
