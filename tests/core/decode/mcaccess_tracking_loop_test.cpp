// The whole McAccess tracking loop, headless: front-end, demodulator, interpreter and the return
// timers, with a simulated receiver whose audio is whatever the air carries where it is tuned.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <numbers>
#include <set>
#include <string>
#include <vector>

#include "core/app/operator_handlers.h"
#include "core/audio/capture_front_end.h"
#include "core/base/main_state.h"
#include "core/decode/mcaccess_demodulator.h"
#include "core/decode/mcaccess_interpreter.h"
#include "core/dsp/filter_designs.h"
#include "support/mcaccess_chain.h"
#include "support/mcaccess_modulator.h"
#include "support/mcaccess_words.h"
#include "support/recorders.h"

namespace tarvo {
namespace {

using testing::MakeMcAccessWord;
using testing::McAccessWordFields;

constexpr double kBlockMs = 512 * 1000.0 / 11025;
constexpr double kToneAmplitude = 1000.0;  // a tone level of about 28000, threshold 5000
constexpr const char* kControl = "850.00000";
constexpr const char* kLine = "851.01250";  // channel 41 with the offset flag, 12.5 kHz step

McAccessWordFields Call(int id, int channel, bool offset, int lineTypeCode = 0) {
  McAccessWordFields f;
  f.type = 0x20;
  f.id = id;
  f.channel = channel;
  f.offset = offset;
  f.lineTypeCode = lineTypeCode;
  return f;
}

McAccessWordFields CallTime(int code) {
  McAccessWordFields f;
  f.type = 0x00;
  f.callTimeCode = code;
  return f;
}

// Counters frame whose read-out is "calls / 1", used as a marker that decoding goes on.
McAccessWordFields Marker(int calls) {
  McAccessWordFields f;
  f.type = 0x39;
  f.firstMap = (1u << calls) - 1;
  f.secondMap = 1;
  return f;
}

std::string MarkerText(int calls) {
  return std::to_string(calls) + " / 1";
}

McAccessWordFields ControlMove(int channel) {
  McAccessWordFields f;
  f.type = 0x30;
  f.channel = channel;
  return f;
}

// The air as the receiver hears it: the control channel's transmitter (always sending, heard
// only on its frequency), a 168 Hz call tone on the lines listed in tones, silence elsewhere.
class SimulatedAir {
 public:
  void Render(const std::string& tunedTo, std::int16_t* out) {
    control_.Emit(kBlockSamples, scratch_.data());
    const bool tone = tones.count(tunedTo) != 0;
    for (int n = 0; n < kBlockSamples; ++n) {
      const double phase = 2.0 * std::numbers::pi * 168.0 * (sample_ + n) / 11025.0;
      const auto toneSample =
          static_cast<std::int16_t>(std::lround(kToneAmplitude * std::sin(phase)));
      std::int16_t value = 0;
      if (tunedTo == controlFrequency) value = scratch_[2 * n];
      if (tone) value = toneSample;
      out[2 * n] = value;
      out[2 * n + 1] = value;
    }
    sample_ += kBlockSamples;
  }

  void Send(const McAccessWordFields& fields, int idleBitsBefore = 20) {
    control_.QueueIdle(idleBitsBefore);
    control_.QueueFrame(MakeMcAccessWord(fields));
  }

  std::string controlFrequency = kControl;
  std::set<std::string> tones;

 private:
  testing::McAccessModulator control_{testing::ModulatorOptions{}};
  std::array<std::int16_t, 2 * kBlockSamples> scratch_{};
  std::int64_t sample_ = 0;
};

struct TuneAt {
  std::string frequencyText;
  std::int64_t ms;
  bool toControl;  // the tune went to the control frequency of that moment
};

struct BlockTrace {
  std::string heard;  // where the receiver was tuned while this block was captured
  std::int64_t ms;    // when the block was processed
  bool onControl;     // after the block
  Colour panel2;
  Colour panel4;
  bool timer1Running;
};

// Front-end, demodulator, interpreter and operator handlers on one state, timers on a fake clock
// advanced one block at a time.
class TrackingLoop {
 public:
  TrackingLoop() {
    timer1.clock = &world.clock;
    timer2.clock = &world.clock;
    state.Timer1.SetDriver(&timer1);
    state.Timer2.SetDriver(&timer2);
    // The receiver goes where it is told; every tune starts the settle count, as the receiver
    // controller does.
    world.receiver.onTune = [this](const std::string& text, int) {
      tunedTo = text;
      state.TuneSettleBlocks = 6;
      tunes.push_back({text, world.clock.now, text == state.ControlFrequencyText});
    };
  }

  void Start() { handlers.SpeedButton1Click(true); }  // tracking on: tunes to the control channel

  void Block() {
    std::array<std::int16_t, 2 * kBlockSamples> buffer{};
    const std::string heard = tunedTo;
    air.Render(heard, buffer.data());
    const std::int64_t now = world.clock.now;
    frontEnd.ProcessInputBlock(buffer.data(), kBlockSamples);
    ++blocks;
    world.clock.now = blocks * 512 * 1000 / 11025;
    timer1.Advance([this] { handlers.Timer1Timer(); });
    timer2.Advance([this] { handlers.Timer2Timer(); });
    trace.push_back(
        {heard, now, state.OnControlChannel, state.Panel2, state.Panel4, timer1.Running()});
  }

  // Runs blocks until done() holds, at most maxBlocks of them.
  bool RunUntil(const std::function<bool()>& done, int maxBlocks = 200) {
    for (int n = 0; n < maxBlocks; ++n) {
      if (done()) return true;
      Block();
    }
    return done();
  }

  bool OnALine() const { return tunedTo != state.ControlFrequencyText; }

  std::vector<std::string> LineTunes() const {
    std::vector<std::string> lines;
    for (const auto& t : tunes) {
      if (!t.toControl) lines.push_back(t.frequencyText);
    }
    return lines;
  }

  MainState state;
  FilterDesigns designs = ComputeFilterDesigns();
  testing::RecordingWorld world;
  McAccessInterpreter interpreter{state, world.services()};
  McAccessDemodulator demodulator{state, designs, world.services(), interpreter};
  testing::RecordingDecoder jsmr;
  CaptureFrontEnd frontEnd{state, designs, demodulator, jsmr};
  OperatorHandlers handlers{state, world.services()};
  testing::FakeTimer timer1;
  testing::FakeTimer timer2;
  SimulatedAir air;
  std::string tunedTo = "none";
  std::vector<TuneAt> tunes;
  std::vector<BlockTrace> trace;
  std::int64_t blocks = 0;
};

TEST(McAccessTrackingLoopTest, FollowsACallAndReturnsThreeSecondsAfterItsAudioStops) {
  TrackingLoop loop;
  loop.Start();
  ASSERT_EQ(loop.tunedTo, kControl);
  loop.air.tones.insert(kLine);
  loop.air.Send(CallTime(0b101), 120);
  loop.air.Send(Call(0x1A7, 41, true));

  ASSERT_TRUE(loop.RunUntil([&] { return loop.tunedTo == kLine; }));
  EXPECT_FALSE(loop.state.OnControlChannel);
  EXPECT_EQ(loop.state.Label28, "3 分");
  EXPECT_EQ(loop.state.Label21, "851.01250MHz");
  EXPECT_EQ(loop.state.Edit2.text, "1A7");
  EXPECT_EQ(loop.state.Timer2.Interval(), 180000);
  const std::size_t tuneBlock = loop.trace.size() - 1;

  // On the line: occupied at once, the call lamp after the settle blocks, monitor opened once.
  ASSERT_TRUE(loop.RunUntil([&] { return loop.state.Panel2 == Colour::kLime; }));
  for (int n = 0; n < 20; ++n) loop.Block();
  int darkBlocks = 0;
  int litBlocks = 0;
  for (std::size_t i = tuneBlock + 1; i < loop.trace.size(); ++i) {
    const BlockTrace& b = loop.trace[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(b.heard, kLine);
    EXPECT_FALSE(b.onControl);
    EXPECT_EQ(b.panel4, Colour::kYellow);
    EXPECT_FALSE(b.timer1Running);
    if (litBlocks > 0) {
      EXPECT_EQ(b.panel2, Colour::kLime);  // once lit, it stays lit while the tone lasts
    }
    (b.panel2 == Colour::kLime ? litBlocks : darkBlocks)++;
  }
  EXPECT_EQ(darkBlocks, 5);  // with the tune block, six blocks count the settle down
  EXPECT_EQ(loop.world.monitor.SilentCount(), 4);
  EXPECT_EQ(loop.world.monitor.writes.size(), 4u + litBlocks);

  // The call ends: the watchdog brings the receiver back 3 s after the lamp goes dark.
  loop.air.tones.clear();
  ASSERT_TRUE(loop.RunUntil([&] { return loop.state.Panel2 == Colour::kBlack; }));
  const std::int64_t darkAt = loop.trace.back().ms;
  ASSERT_TRUE(loop.RunUntil([&] { return loop.tunedTo == kControl; }, 100));
  const std::int64_t backAt = loop.tunes.back().ms;
  EXPECT_GE(backAt - darkAt, 3000);
  EXPECT_LT(backAt - darkAt, 3000 + kBlockMs);
  EXPECT_TRUE(loop.state.OnControlChannel);
  EXPECT_EQ(loop.state.Timer2.Interval(), 0);
  EXPECT_EQ(loop.world.monitor.SilentCount(), 4);

  // Decoding resumes on the control channel.
  loop.air.Send(Marker(3));
  ASSERT_TRUE(loop.RunUntil([&] { return loop.state.Label22 == MarkerText(3); }));
  EXPECT_EQ(loop.trace.back().panel4, Colour::kBlack);
  EXPECT_EQ(loop.LineTunes(), std::vector<std::string>{kLine});

  // What the tracker reported: the call followed, then the return when its signal was lost.
  std::vector<std::string> decisions;
  for (const TrackingEvent& e : loop.world.eventLog.events) {
    if (e.event != "health") decisions.push_back(e.event + " " + e.action + e.reason);
  }
  EXPECT_EQ(decisions, (std::vector<std::string>{"call follow", "return signal-lost"}));
  const auto returns = loop.world.eventLog.Of("return");
  ASSERT_EQ(returns.size(), 1u);
  EXPECT_EQ(returns[0].line, kLine);
  EXPECT_EQ(returns[0].to, kControl);
  const std::int64_t lineTuneAt = loop.tunes[1].ms;
  EXPECT_NEAR(*returns[0].seconds, (backAt - lineTuneAt) / 1000.0, 0.001);
  EXPECT_GT(*returns[0].seconds, 3.0 + 20 * kBlockMs / 1000.0);  // 20 blocks of call, then 3 s
}

struct FilterCase {
  const char* name;
  std::function<void(MainState&)> setUp;
  std::vector<McAccessWordFields> calls;
  std::vector<std::string> followed;  // line tunes expected
  std::vector<double> heard;          // heard-lines list afterwards
};

TEST(McAccessTrackingLoopTest, FiltersDecideWhichCallsAreFollowed) {
  const FilterCase cases[] = {
      {"pass-listed ID",
       [](MainState& s) {
         s.CheckBox18.checked = true;
         s.IdPassList = {"0C4", "1A7"};
       },
       {Call(0x1A7, 41, true)},
       {},
       {851.0125}},
      {"ID-specific reception follows only listed IDs",
       [](MainState& s) {
         s.CheckBox15.checked = true;
         s.Edit3.text = "0C4";
       },
       {Call(0x1A7, 41, true), Call(0x0C4, 42, false)},
       {"851.05000"},
       {851.0125, 851.05}},
      {"digital line", [](MainState&) {}, {Call(0x1A7, 41, true, 3)}, {}, {851.0125}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TrackingLoop loop;
    c.setUp(loop.state);
    loop.Start();
    loop.air.tones.insert({"851.01250", "851.05000"});
    loop.air.Send(CallTime(0b101), 120);
    for (const auto& call : c.calls) loop.air.Send(call);
    loop.air.Send(Marker(5));
    ASSERT_TRUE(
        loop.RunUntil([&] { return loop.OnALine() || loop.state.Label22 == MarkerText(5); }));
    EXPECT_EQ(loop.LineTunes(), c.followed);
    EXPECT_EQ(loop.state.OnControlChannel, c.followed.empty());
    ASSERT_EQ(loop.world.heardLines.added.size(), c.heard.size());
    for (std::size_t i = 0; i < c.heard.size(); ++i) {
      EXPECT_NEAR(loop.world.heardLines.added[i], c.heard[i], 1e-9);
    }
  }
}

TEST(McAccessTrackingLoopTest, CallTimeLimitEndsACallWhoseToneNeverStops) {
  TrackingLoop loop;
  loop.Start();
  loop.air.tones.insert(kLine);
  loop.air.Send(CallTime(0b000), 120);  // one minute
  loop.air.Send(Call(0x1A7, 41, true));
  ASSERT_TRUE(loop.RunUntil([&] { return loop.tunedTo == kLine; }));
  const std::int64_t lineAt = loop.tunes.back().ms;

  ASSERT_TRUE(loop.RunUntil([&] { return loop.tunedTo == kControl; }, 1400));
  const std::int64_t backAt = loop.tunes.back().ms;
  EXPECT_GE(backAt - lineAt, 60000);
  EXPECT_LT(backAt - lineAt, 60000 + kBlockMs);
  EXPECT_TRUE(loop.state.OnControlChannel);
  // The tone held the call lamp up to the end, so the watchdog never ran on the line.
  for (const auto& b : loop.trace) {
    if (b.heard == kLine) {
      EXPECT_FALSE(b.timer1Running);
    }
  }
  EXPECT_EQ(loop.trace.back().panel2, Colour::kLime);

  loop.air.Send(Marker(2));
  ASSERT_TRUE(loop.RunUntil([&] { return loop.state.Label22 == MarkerText(2); }));
}

TEST(McAccessTrackingLoopTest, ControlChannelMoveIsFollowedAndCallsReturnThere) {
  TrackingLoop loop;
  loop.Start();
  loop.air.Send(ControlMove(80), 120);  // 852.00000
  ASSERT_TRUE(loop.RunUntil([&] { return loop.tunedTo == "852.00000"; }));
  EXPECT_EQ(loop.state.ControlFrequencyText, "852.00000");
  EXPECT_TRUE(loop.state.OnControlChannel);
  EXPECT_EQ(loop.state.Label7, "周波切替");

  // The system now sends its control channel on the new frequency.
  loop.air.controlFrequency = "852.00000";
  loop.air.tones.insert(kLine);
  loop.air.Send(Call(0x1A7, 41, true), 60);
  ASSERT_TRUE(loop.RunUntil([&] { return loop.tunedTo == kLine; }));
  loop.air.tones.clear();
  ASSERT_TRUE(loop.RunUntil([&] { return loop.tunedTo == "852.00000"; }, 200));
  EXPECT_TRUE(loop.state.OnControlChannel);

  loop.air.Send(Marker(4));
  ASSERT_TRUE(loop.RunUntil([&] { return loop.state.Label22 == MarkerText(4); }));
  EXPECT_EQ(loop.LineTunes(), std::vector<std::string>{kLine});
}

}  // namespace
}  // namespace tarvo
