#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "core/decode/mcaccess_demodulator.h"
#include "support/mcaccess_chain.h"

namespace tarvo::testing {
namespace {

// Feeds the demodulator blocks of a 168 Hz tone (amplitude 0: silence).
class ToneFeed {
 public:
  explicit ToneFeed(double amplitude) : amplitude_(amplitude) {}
  InputBlock Next() {
    InputBlock block{};
    for (auto& x : block) {
      x = amplitude_ * std::sin(phase_) + 50.0;  // never all zero, so the monitor copy shows
      phase_ += 2.0 * std::numbers::pi * 168.0 / 11025.0;
    }
    return block;
  }

 private:
  double amplitude_;
  double phase_ = 0.0;
};

constexpr double kStrongTone = 12000.0;
constexpr int kWarmUpBlocks = 6;

struct CallFlags {
  bool onControlChannel = false;
  bool radioBusy = false;
  int tuneSettleBlocks = 0;
  bool monitorOn = false;
  bool tone = true;
};

struct Outcome {
  bool voice;
  Colour panel2;
  int timer1;  // with tracking on
  std::size_t monitorWrites;
};

// Warms the tone detector up with every flag idle, then decodes one block under the flags.
Outcome DecodeUnder(const CallFlags& flags) {
  McAccessChain chain;
  chain.state.TrackingOn = true;
  chain.state.OnControlChannel = true;
  chain.state.ToneThreshold = 5000.0;
  ToneFeed feed(flags.tone ? kStrongTone : 0.0);
  for (int b = 0; b < kWarmUpBlocks; ++b) {
    InputBlock block = feed.Next();
    chain.demodulator.McAccessDecodeBlock(block);
  }
  chain.world.monitor.writes.clear();
  chain.state.OnControlChannel = flags.onControlChannel;
  chain.state.RadioBusy = flags.radioBusy;
  chain.state.TuneSettleBlocks = flags.tuneSettleBlocks;
  chain.state.MonitorOn = flags.monitorOn;
  InputBlock block = feed.Next();
  chain.demodulator.McAccessDecodeBlock(block);
  if (flags.tone) {
    EXPECT_GT(chain.demodulator.ToneLevel(), 2 * chain.state.ToneThreshold);
  }
  return {chain.state.VoiceDetected, chain.state.Panel2, chain.state.Timer1.Interval(),
          chain.world.monitor.writes.size()};
}

TEST(McAccessCallSupervision, ToneFlagsDecideTheCallLampWatchdogAndMonitor) {
  struct Row {
    const char* name;
    CallFlags flags;
    Outcome expected;
  };
  const Row rows[] = {
      {"tone on a line", {}, {true, Colour::kLime, 0, 5}},
      {"tone on the control channel", {.onControlChannel = true}, {false, Colour::kBlack, 3000, 0}},
      {"tone while the radio is busy", {.radioBusy = true}, {false, Colour::kBlack, 3000, 0}},
      {"tone right after a tune", {.tuneSettleBlocks = 3}, {false, Colour::kBlack, 0, 0}},
      {"silence on a line", {.tone = false}, {false, Colour::kBlack, 3000, 0}},
      {"monitor on the control channel",
       {.onControlChannel = true, .monitorOn = true, .tone = false},
       {true, Colour::kBlack, 0, 5}},
      {"monitor with a tone on a line", {.monitorOn = true}, {true, Colour::kLime, 0, 5}},
      {"monitor right after a tune",
       {.tuneSettleBlocks = 2, .monitorOn = true, .tone = false},
       {true, Colour::kBlack, 0, 5}},
  };
  for (const Row& row : rows) {
    const Outcome got = DecodeUnder(row.flags);
    EXPECT_EQ(got.voice, row.expected.voice) << row.name;
    EXPECT_EQ(got.panel2, row.expected.panel2) << row.name;
    EXPECT_EQ(got.timer1, row.expected.timer1) << row.name;
    EXPECT_EQ(got.monitorWrites, row.expected.monitorWrites) << row.name;
  }
}

TEST(McAccessCallSupervision, ToneLevelEqualToTheThresholdIsNoTone) {
  // Two identical runs: the first measures the last block's level, the second uses it as the
  // threshold (and a hair below it).
  auto run = [](double threshold, double* level) {
    McAccessChain chain;
    chain.state.OnControlChannel = false;
    chain.state.ToneThreshold = threshold;
    ToneFeed feed(3000.0);
    for (int b = 0; b < kWarmUpBlocks; ++b) {
      InputBlock block = feed.Next();
      chain.demodulator.McAccessDecodeBlock(block);
    }
    *level = chain.demodulator.ToneLevel();
    return chain.state.VoiceDetected;
  };
  double level = 0.0;
  run(1e9, &level);
  ASSERT_GT(level, 0.0);
  double again = 0.0;
  EXPECT_FALSE(run(level, &again));
  EXPECT_EQ(again, level);
  EXPECT_TRUE(run(std::nextafter(level, 0.0), &again));
}

TEST(McAccessCallSupervision, ToneBarShowsLevelAndThresholdMarker) {
  McAccessChain chain;
  chain.state.TrackBar4.position = 5099;
  ToneFeed feed(3000.0);
  InputBlock block = feed.Next();
  chain.demodulator.McAccessDecodeBlock(block);
  block = feed.Next();
  chain.demodulator.McAccessDecodeBlock(block);
  EXPECT_EQ(chain.state.Image3.length, static_cast<int>(chain.demodulator.ToneLevel() * 0.01));
  EXPECT_GT(chain.state.Image3.length, 0);
  EXPECT_EQ(chain.state.Image3.colour, Colour::kAqua);
  EXPECT_EQ(chain.state.Image3.marker, 50);
}

TEST(McAccessCallSupervision, WatchdogIsArmedOnceAndNotRestartedByLaterBlocks) {
  McAccessChain chain;
  FakeTimer timer;
  timer.clock = &chain.world.clock;
  chain.state.Timer1.SetDriver(&timer);
  chain.state.TrackingOn = true;
  chain.state.OnControlChannel = false;
  ToneFeed silence(0.0);
  for (int b = 0; b < 5; ++b) {
    InputBlock block = silence.Next();
    chain.demodulator.McAccessDecodeBlock(block);
  }
  EXPECT_EQ(timer.restarts, 1);
  EXPECT_EQ(timer.period, 3000);
  // The monitor button holds the line: the countdown stops.
  chain.state.MonitorOn = true;
  InputBlock block = silence.Next();
  chain.demodulator.McAccessDecodeBlock(block);
  EXPECT_FALSE(timer.Running());
}

TEST(McAccessCallSupervision, OpeningACallPrimesWithSilenceOnceThenPlays) {
  McAccessChain chain;
  chain.state.MonitorOn = true;  // voice on the control channel, no tone needed
  chain.state.CheckBox2.checked = true;
  ToneFeed feed(1000.0);
  InputBlock first = feed.Next();
  chain.demodulator.McAccessDecodeBlock(first);
  const auto& writes = chain.world.monitor.writes;
  ASSERT_EQ(writes.size(), 5u);
  for (int n = 0; n < 4; ++n) EXPECT_TRUE(writes[n].silence) << n;
  EXPECT_FALSE(writes[4].silence);
  for (const double x : writes[4].samples) ASSERT_EQ(x, 0.0);  // cleared by the priming
  for (const auto& w : writes) EXPECT_TRUE(w.deemphasis);

  InputBlock second = feed.Next();
  const InputBlock sent = second;
  chain.demodulator.McAccessDecodeBlock(second);
  ASSERT_EQ(writes.size(), 6u);
  EXPECT_FALSE(writes[5].silence);
  EXPECT_EQ(writes[5].samples, sent);
  EXPECT_TRUE(chain.state.CallAudioOpen);
  EXPECT_FALSE(chain.state.CallAudioClosed);
}

TEST(McAccessCallSupervision, RadioOutputUnmutesOnceAndMutesOnce) {
  McAccessChain chain;
  chain.state.WaveOutput = false;
  chain.state.TrackBar2.position = 123;
  ToneFeed feed(0.0);
  const bool monitorByBlock[] = {true, true, true, false, false, true, false};
  for (const bool monitor : monitorByBlock) {
    chain.state.MonitorOn = monitor;
    InputBlock block = feed.Next();
    chain.demodulator.McAccessDecodeBlock(block);
  }
  EXPECT_EQ(chain.world.receiver.volumes, (std::vector<int>{123, 0, 123, 0}));
  EXPECT_TRUE(chain.world.monitor.writes.empty());
}

}  // namespace
}  // namespace tarvo::testing
