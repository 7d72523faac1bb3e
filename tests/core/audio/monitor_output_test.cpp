#include "core/audio/monitor_output.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "support/recorders.h"
#include "support/recording_output_device.h"

namespace tarvo {
namespace {

using testing::RecordingOutputDevice;
using Block = std::array<double, kBlockSamples>;

class MonitorOutputTest : public ::testing::Test {
 protected:
  MonitorOutputTest() {
    state.CheckBox4.checked = false;
    state.CheckBox5.checked = false;
    output.OpenMonitorOutput();
  }

  // Writes block and returns the left channel that reached the device.
  std::vector<int> Play(Block block, bool deemphasis = false, bool silence = false) {
    output.WriteMonitorBlock(block.data(), deemphasis, silence);
    const auto& frames = device.blocks.back();
    std::vector<int> left;
    for (int i = 0; i < kBlockSamples; ++i) left.push_back(frames[2 * i]);
    return left;
  }

  static Block Impulse(double height, int at = 0) {
    Block b{};
    b[at] = height;
    return b;
  }

  MainState state;
  FilterDesigns designs = ComputeFilterDesigns();
  testing::RecordingWorld world;
  RecordingOutputDevice device;
  MonitorOutput output{state, designs, world.services(), device};
};

TEST_F(MonitorOutputTest, GainClampAndTruncationOnBothChannels) {
  struct Case {
    int trackBar3;
    double in;
    int out;
  };
  const Case cases[] = {
      {20, 32767.0, 32000},
      {20, -32768.0, -32000},
      {20, 3200.5, 32000},
      {20, 3199.9, 31999},
      {0, 1.9, 1},
      {0, -1.9, -1},
      {0, 32767.0, 32000},
      {-20, 32767.0, 3276},
      {-20, -12345.0, -1234},
      {0, 31999.99, 31999},
  };
  for (const Case& c : cases) {
    state.MonitorGain = MonitorGainFor(c.trackBar3);
    Block b;
    b.fill(c.in);
    output.WriteMonitorBlock(b.data(), false, false);
    const auto& frames = device.blocks.back();
    for (int i = 0; i < 2 * kBlockSamples; ++i) {
      ASSERT_EQ(frames[i], c.out) << "position " << c.trackBar3 << " input " << c.in;
    }
    // The caller's block holds the scaled, unclamped values.
    EXPECT_DOUBLE_EQ(b[7], c.in * state.MonitorGain);
  }
}

TEST(MonitorGainFor, DecibelsOfTheSlider) {
  EXPECT_EQ(MonitorGainFor(-20), 0.1);
  EXPECT_EQ(MonitorGainFor(0), 1.0);
  EXPECT_EQ(MonitorGainFor(20), 10.0);
  EXPECT_NEAR(MonitorGainFor(-6), 0.501187, 1e-6);
}

TEST_F(MonitorOutputTest, DeemphasisImpulseResponseAndDcGain) {
  const std::vector<int> head = Play(Impulse(10000.0), true);
  EXPECT_EQ((std::vector<int>(head.begin(), head.begin() + 4)),
            (std::vector<int>{1000, 2579, 2376, 1073}));

  Block dc;
  dc.fill(10000.0);
  std::vector<int> settled;
  for (int i = 0; i < 4; ++i) settled = Play(dc, true);
  EXPECT_NEAR(settled.back(), 7433, 1);
}

TEST_F(MonitorOutputTest, FiltersUseTheirOwnTapsNewestFirst) {
  struct Case {
    bool bandPass;
    bool bandStop;
    int centre;  // output 25 samples after a 1000 impulse
    int first;   // output at the impulse
  };
  const Case cases[] = {
      {true, false, 435, 3},   // 1000 x 0.43537415, 1000 x 0.0030166544
      {false, true, 945, 20},  // 1000 x 0.945578231, 1000 x 0.0205788682
      {false, false, 0, 1000},
  };
  for (const Case& c : cases) {
    MainState s;
    s.CheckBox4.checked = c.bandPass;
    s.CheckBox5.checked = c.bandStop;
    RecordingOutputDevice d;
    MonitorOutput out(s, designs, world.services(), d);
    out.OpenMonitorOutput();
    Block b = Impulse(1000.0);
    out.WriteMonitorBlock(b.data(), false, false);
    EXPECT_EQ(d.blocks.back()[0], c.first) << c.bandPass << c.bandStop;
    EXPECT_EQ(d.blocks.back()[2 * 25], c.centre) << c.bandPass << c.bandStop;
  }
}

TEST_F(MonitorOutputTest, SilentWriteZeroesTheBlockAndStillRunsTheFilters) {
  state.CheckBox4.checked = true;
  state.CheckBox5.checked = true;
  Block loud;
  loud.fill(0.0);
  for (int i = kBlockSamples - 40; i < kBlockSamples; ++i) loud[i] = 8000.0;
  Play(loud, true);

  Block caller;
  caller.fill(1234.0);
  output.WriteMonitorBlock(caller.data(), true, true);
  for (double v : caller) ASSERT_EQ(v, 0.0);
  std::vector<int> tail;
  for (int i = 0; i < kBlockSamples; ++i) tail.push_back(device.blocks.back()[2 * i]);
  // The filters ring on from the previous block rather than starting from rest.
  EXPECT_NE(tail[0], 0);
  EXPECT_EQ(tail.back(), 0);
}

TEST_F(MonitorOutputTest, BandPassResumesItsDelayLineAfterBeingSwitchedOff) {
  Block a;
  for (int i = 0; i < kBlockSamples; ++i) a[i] = (i % 7) * 1000.0 - 3000.0;
  Block b;
  b.fill(5000.0);
  Block c{};

  state.CheckBox4.checked = true;
  Play(a);
  state.CheckBox4.checked = false;
  Play(b);
  state.CheckBox4.checked = true;
  const std::vector<int> resumed = Play(c);

  MainState fresh;
  fresh.CheckBox4.checked = true;
  fresh.CheckBox5.checked = false;
  RecordingOutputDevice d;
  MonitorOutput reference(fresh, designs, world.services(), d);
  reference.OpenMonitorOutput();
  Block a2 = a;
  Block c2 = c;
  reference.WriteMonitorBlock(a2.data(), false, false);
  reference.WriteMonitorBlock(c2.data(), false, false);
  for (int i = 0; i < kBlockSamples; ++i) ASSERT_EQ(resumed[i], d.blocks.back()[2 * i]) << i;
}

TEST_F(MonitorOutputTest, OpenFailuresBeepShowTheirTextAndLeaveTheOutputClosed) {
  struct Case {
    SoundOutputDevice::OpenResult result;
    std::string text;
  };
  const Case cases[] = {
      {SoundOutputDevice::OpenResult::kFailedOpen, "再生デバイスをオープンできません"},
      {SoundOutputDevice::OpenResult::kFailedBuffers, "バッファを確保できません"},
  };
  for (const Case& c : cases) {
    testing::RecordingWorld w;
    RecordingOutputDevice d;
    d.openResult = c.result;
    MainState s;
    s.OutputDevice = 3;
    MonitorOutput out(s, designs, w.services(), d);
    EXPECT_FALSE(out.OpenMonitorOutput());
    EXPECT_EQ(d.opens, std::vector<int>{3});
    EXPECT_EQ(w.notice.beeps, 1);
    EXPECT_EQ(w.notice.errors, std::vector<std::string>{c.text});

    Block b;
    b.fill(100.0);
    out.WriteMonitorBlock(b.data(), true, true);
    EXPECT_TRUE(d.blocks.empty());
    EXPECT_EQ(b[0], 100.0);
    out.CloseMonitorOutput();
    EXPECT_EQ(d.closes, 0);
  }
}

TEST_F(MonitorOutputTest, CloseStopsWritesAndReopenKeepsFilterState) {
  Play(Impulse(10000.0, kBlockSamples - 1), true);
  EXPECT_TRUE(output.CloseMonitorOutput());
  EXPECT_TRUE(output.CloseMonitorOutput());
  EXPECT_EQ(device.closes, 1);
  Block b = Impulse(10000.0);
  output.WriteMonitorBlock(b.data(), true, false);
  EXPECT_EQ(device.blocks.size(), 1u);

  ASSERT_TRUE(output.OpenMonitorOutput());
  const std::vector<int> after = Play(Block{}, true);
  EXPECT_NE(after[0], 0);  // the de-emphasis still rings from before the close
}

TEST(WriteSilentBlocks, FourSilentBlocksWithTheCallersDeemphasis) {
  testing::RecordingMonitor monitor;
  WriteSilentBlocks(monitor, true);
  ASSERT_EQ(monitor.writes.size(), 4u);
  for (const auto& w : monitor.writes) {
    EXPECT_TRUE(w.silence);
    EXPECT_TRUE(w.deemphasis);
  }
}

}  // namespace
}  // namespace tarvo
