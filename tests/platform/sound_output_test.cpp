// Real sound: the monitor output plays through PortAudio's default output into a private
// sound server's null sink, and the test records the sink's monitor back.
#include <gtest/gtest.h>

#include <sys/types.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

#include "core/audio/monitor_output.h"
#include "platform/portaudio_devices.h"
#include "platform/portaudio_output.h"
#include "support/recorders.h"
#include "support/sound_server.h"

namespace tarvo::testing {
namespace {

using Block = std::array<double, kBlockSamples>;

class RealSoundOutput : public ::testing::Test {
 protected:
  void SetUp() override {
    TARVO_NEED_SOUND_SERVER(server);
    state.CheckBox4.checked = false;
    state.CheckBox5.checked = false;
  }

  static std::vector<std::int16_t> Left(const std::filesystem::path& file, std::size_t from) {
    const std::vector<std::int16_t> stereo = ReadRaw(file);
    std::vector<std::int16_t> left;
    for (std::size_t i = 2 * from; i + 1 < stereo.size(); i += 2) {
      EXPECT_EQ(stereo[i], stereo[i + 1]) << "frame " << i / 2;
      left.push_back(stereo[i]);
    }
    return left;
  }

  // True when left holds a whole block of one value followed by a block of silence.
  static bool HasWholeBlockThenSilence(const std::vector<std::int16_t>& left) {
    int run = 0;
    int zeros = 0;
    std::int16_t value = 0;
    for (std::int16_t v : left) {
      if (v != 0 && v == value) {
        ++run;
      } else if (v != 0) {
        value = v;
        run = 1;
        zeros = 0;
      } else if (run == kBlockSamples && ++zeros >= kBlockSamples) {
        return true;
      } else if (run != kBlockSamples) {
        run = 0;
        value = 0;
      }
    }
    return false;
  }

  // Records the sink while play() writes frames frames' worth of blocks, and returns the left
  // channel from where play() began, after checking that both channels are equal.
  std::vector<std::int16_t> Record(int frames, const std::function<void()>& play) {
    const auto file = server.Folder() / "recorded.raw";
    const pid_t recorder = server.StartRecording(file, kOutputRate);
    EXPECT_TRUE(output.OpenMonitorOutput());
    // The server may swallow the start of a new stream: send a lead-in block until one comes
    // back whole, and play the blocks under test only then.
    const double gain = state.MonitorGain;
    state.MonitorGain = 1.0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!HasWholeBlockThenSilence(Left(file, 0)) &&
           std::chrono::steady_clock::now() < deadline) {
      Block leadIn;
      leadIn.fill(7.0);
      output.WriteMonitorBlock(leadIn.data(), false, false);
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    // Every lead-in still on its way must have come back before the blocks under test start.
    const auto quietEnd = [&] {
      const std::vector<std::int16_t> left = Left(file, 0);
      return left.size() > kOutputRate / 2 &&
             std::all_of(left.end() - kOutputRate / 2, left.end(), [](auto v) { return v == 0; });
    };
    while (!quietEnd() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    state.MonitorGain = gain;
    const std::size_t before = std::filesystem::file_size(file) / 4;
    play();
    // On a busy machine the server falls behind real time: wait for the audio, not the clock.
    const std::size_t wanted = before + frames + kOutputRate;
    while (std::filesystem::file_size(file) / 4 < wanted &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    output.CloseMonitorOutput();
    SoundServer::Stop(recorder);
    return Left(file, before);
  }

  SoundServer server{kOutputRate};
  MainState state;
  FilterDesigns designs = ComputeFilterDesigns();
  RecordingWorld world;
  PortAudioOutput device;
  MonitorOutput output{state, designs, world.services(), device};
};

TEST_F(RealSoundOutput, PlaysGainClampAndSilentBlocksSampleForSample) {
  state.MonitorGain = MonitorGainFor(20);
  Block a;
  for (int i = 0; i < kBlockSamples; ++i) a[i] = (i - 256) * 13.37 + 0.5;
  std::vector<int> expected;
  for (double x : a)
    expected.push_back(static_cast<int>(std::trunc(std::clamp(x * 10.0, -32000.0, 32000.0))));
  for (int i = 0; i < 4 * kBlockSamples; ++i) expected.push_back(0);
  for (double x : a)
    expected.push_back(-static_cast<int>(std::trunc(std::clamp(x * 10.0, -32000.0, 32000.0))));

  const std::vector<std::int16_t> left = Record(6 * kBlockSamples, [&] {
    Block first = a;
    output.WriteMonitorBlock(first.data(), false, false);
    WriteSilentBlocks(output, false);
    Block second;
    for (int i = 0; i < kBlockSamples; ++i) second[i] = -a[i];
    output.WriteMonitorBlock(second.data(), false, false);
  });

  std::size_t start = 0;
  while (start < left.size() && left[start] == 0) ++start;
  ASSERT_LE(start + expected.size(), left.size()) << "the blocks did not all come back";
  for (std::size_t i = 0; i < expected.size(); ++i) {
    ASSERT_EQ(left[start + i], expected[i]) << "sample " << i;
  }
  for (std::size_t i = start + expected.size(); i < left.size(); ++i) {
    ASSERT_EQ(left[i], 0) << "the device should run dry after the last block";
  }
  EXPECT_EQ(device.DroppedSamples(), 0);
}

TEST_F(RealSoundOutput, BlocksBeyondTheSixteenSlotRingAreDroppedWhole) {
  constexpr int kBlocks = 20;
  const std::vector<std::int16_t> left = Record(kBlocks * kBlockSamples, [&] {
    for (int k = 0; k < kBlocks; ++k) {
      Block b;
      b.fill((k + 1) * 100.0);
      output.WriteMonitorBlock(b.data(), false, false);
    }
  });

  std::vector<int> runs;  // block value of each run, in order
  std::vector<int> lengths;
  for (std::int16_t v : left) {
    if (v == 0) continue;
    if (runs.empty() || runs.back() != v) {
      runs.push_back(v);
      lengths.push_back(0);
    }
    ++lengths.back();
  }
  const int dropped = static_cast<int>(device.DroppedSamples() / (2 * kBlockSamples));
  EXPECT_GT(dropped, 0);
  EXPECT_EQ(static_cast<int>(runs.size()) + dropped, kBlocks);
  for (std::size_t i = 0; i < runs.size(); ++i) {
    EXPECT_EQ(lengths[i], kBlockSamples) << "block " << runs[i];
    if (i > 0) {
      EXPECT_GT(runs[i], runs[i - 1]);
    }
  }
}

TEST_F(RealSoundOutput, MissingDeviceShowsTheOpenErrorAndPlaysNothing) {
  state.OutputDevice = static_cast<int>(PortAudioOutputDeviceNames().size()) + 1;
  EXPECT_FALSE(output.OpenMonitorOutput());
  EXPECT_EQ(world.notice.beeps, 1);
  EXPECT_EQ(world.notice.errors, std::vector<std::string>{"再生デバイスをオープンできません"});
  Block b;
  b.fill(1000.0);
  output.WriteMonitorBlock(b.data(), false, false);
  EXPECT_EQ(b[0], 1000.0);
}

TEST_F(RealSoundOutput, DeviceSettingsCountDevicesOfEachDirectionInPortAudioOrder) {
  const std::vector<std::string> inputs = PortAudioInputDeviceNames();
  const std::vector<std::string> outputs = PortAudioOutputDeviceNames();
  ASSERT_FALSE(inputs.empty());
  ASSERT_FALSE(outputs.empty());
  PortAudioSession session;
  EXPECT_GE(PortAudioInputDevice(0), 0);
  EXPECT_GE(PortAudioOutputDevice(0), 0);
  EXPECT_GE(PortAudioInputDevice(static_cast<int>(inputs.size())), 0);
  EXPECT_EQ(PortAudioInputDevice(static_cast<int>(inputs.size()) + 1), -1);
  EXPECT_EQ(PortAudioOutputDevice(-1), -1);
}

}  // namespace
}  // namespace tarvo::testing
