#include "core/app/operator_handlers.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "support/recorders.h"

namespace tarvo {
namespace {

using testing::FakeTimer;
using testing::RecordingWorld;

// Handlers over a fresh state, with both timers on the fake clock.
struct OperatorHandlersTest : ::testing::Test {
  OperatorHandlersTest() {
    timer1.clock = &world.clock;
    timer2.clock = &world.clock;
    state.Timer1.SetDriver(&timer1);
    state.Timer2.SetDriver(&timer2);
  }
  // Pretends a decoder has followed a call and armed both timers.
  void OnALine() {
    state.OnControlChannel = false;
    state.Timer1.SetInterval(3000);
    state.Timer2.SetInterval(120000);
  }

  MainState state;
  RecordingWorld world;
  FakeTimer timer1;
  FakeTimer timer2;
  OperatorHandlers handlers{state, world.services()};
};

TEST_F(OperatorHandlersTest, TrackingOnReturnsToTheControlChannelWithTheGridOfTheDecoder) {
  struct Case {
    DecoderType decoder;
    bool wave;
    const char* frequency;
    double step;
    double offset;
    double controlFrequency;  // refreshed only with JSMR
    std::vector<int> volumes;
  };
  const Case cases[] = {
      {DecoderType::kMcAccess, true, "850.00625", 0.00625, 0.5, 1.0, {}},
      {DecoderType::kMcAccess, false, "850.01250", 0.0125, 0.5, 1.0, {0}},
      {DecoderType::kJsmr, true, "850.01250", 0.5, 0.0, 850.0125, {}},
      {DecoderType::kJsmr, false, "850.00000", 0.5, 0.0125, 850.0, {0}},
  };
  for (const Case& c : cases) {
    MainState s;
    s.Decoder = c.decoder;
    s.WaveOutput = c.wave;
    s.ControlFrequencyText = c.frequency;
    s.McAccessChannelStep = 0.5;
    s.RasterOffset = 0.5;
    s.ControlFrequency = 1.0;
    s.OnControlChannel = false;
    s.CallAudioOpen = s.JsmrOnLine = true;
    s.RadioModel = 3;
    RecordingWorld w;
    OperatorHandlers(s, w.services()).SpeedButton1Click(true);
    SCOPED_TRACE(c.frequency);
    EXPECT_TRUE(s.TrackingOn);
    EXPECT_TRUE(s.OnControlChannel);
    EXPECT_EQ(s.McAccessChannelStep, c.step);
    EXPECT_EQ(s.RasterOffset, c.offset);
    EXPECT_EQ(s.ControlFrequency, c.controlFrequency);
    const bool jsmr = c.decoder == DecoderType::kJsmr;
    EXPECT_EQ(s.CallAudioOpen, !jsmr);  // only the JSMR latches are reset
    EXPECT_EQ(s.JsmrOnLine, !jsmr);
    ASSERT_EQ(w.receiver.tunes.size(), 1u);
    EXPECT_EQ(w.receiver.tunes[0].frequencyText, c.frequency);
    EXPECT_EQ(w.receiver.tunes[0].model, 3);
    EXPECT_EQ(w.receiver.volumes, c.volumes);
  }
}

TEST_F(OperatorHandlersTest, TrackingOnStopsBothTimers) {
  OnALine();
  handlers.SpeedButton1Click(true);
  EXPECT_EQ(state.Timer1.Interval(), 0);
  EXPECT_EQ(state.Timer2.Interval(), 0);
  EXPECT_FALSE(timer1.Running());
  EXPECT_FALSE(timer2.Running());
}

TEST_F(OperatorHandlersTest, TrackingOffLeavesTheReceiverOnItsLineAndRestoresTheRadioVolume) {
  struct Case {
    bool wave;
    int model;
    std::vector<int> volumes;
  };
  const Case cases[] = {{true, 0, {}}, {false, 0, {77}}, {false, 1, {}}, {false, 7, {77}}};
  for (const Case& c : cases) {
    MainState s;
    s.WaveOutput = c.wave;
    s.RadioModel = c.model;
    s.TrackBar2.position = 77;
    s.TrackingOn = true;
    s.OnControlChannel = false;
    s.Timer2.SetInterval(60000);
    RecordingWorld w;
    OperatorHandlers(s, w.services()).SpeedButton1Click(false);
    SCOPED_TRACE(c.model);
    EXPECT_FALSE(s.TrackingOn);
    EXPECT_TRUE(s.OnControlChannel);
    EXPECT_EQ(s.Timer2.Interval(), 0);
    EXPECT_TRUE(w.receiver.tunes.empty());
    EXPECT_EQ(w.receiver.volumes, c.volumes);
  }
}

TEST_F(OperatorHandlersTest, ForcedStandbyResetsTheReadOutsOnlyForJsmr) {
  for (DecoderType decoder : {DecoderType::kMcAccess, DecoderType::kJsmr}) {
    MainState s;
    s.Decoder = decoder;
    s.WaveOutput = false;
    s.OnControlChannel = false;
    s.JsmrOnLine = true;
    s.Label7 = "VOICE";
    s.Label21 = "851.01250MHz";
    s.Label22 = "3 / 4";
    s.Label28 = "2 分";
    s.Timer1.SetInterval(3000);
    RecordingWorld w;
    OperatorHandlers(s, w.services()).Button3Click();
    const bool jsmr = decoder == DecoderType::kJsmr;
    EXPECT_TRUE(s.OnControlChannel);
    EXPECT_EQ(s.JsmrOnLine, !jsmr);
    EXPECT_EQ(s.Label7, jsmr ? "制御回線" : "VOICE");
    EXPECT_EQ(s.Label21, jsmr ? "---.-----MHz" : "851.01250MHz");
    EXPECT_EQ(s.Label22, jsmr ? "- / -" : "3 / 4");
    EXPECT_EQ(s.Label28, jsmr ? "- 分" : "2 分");
    EXPECT_EQ(s.Timer1.Interval(), 0);
    ASSERT_EQ(w.receiver.tunes.size(), 1u);
    EXPECT_EQ(w.receiver.tunes[0].frequencyText, "850.00000");
    EXPECT_EQ(w.receiver.volumes, std::vector<int>{0});
  }
}

TEST_F(OperatorHandlersTest, ReleasingTheMonitorFlushesWaveWithFourSilentBlocksOrMutesTheRadio) {
  state.CheckBox2.checked = true;
  state.CallAudioOpen = true;
  handlers.SpeedButton2Click(true);
  EXPECT_TRUE(state.MonitorOn);
  EXPECT_FALSE(state.CallAudioOpen);
  EXPECT_TRUE(world.monitor.writes.empty());
  EXPECT_TRUE(world.receiver.volumes.empty());

  state.CallAudioOpen = true;
  handlers.SpeedButton2Click(false);
  EXPECT_FALSE(state.MonitorOn);
  EXPECT_FALSE(state.CallAudioOpen);
  ASSERT_EQ(world.monitor.writes.size(), 4u);
  for (const auto& write : world.monitor.writes) {
    EXPECT_TRUE(write.silence);
    EXPECT_TRUE(write.deemphasis);  // follows "Demp"
  }
  EXPECT_TRUE(world.receiver.volumes.empty());

  state.WaveOutput = false;
  handlers.SpeedButton2Click(true);
  handlers.SpeedButton2Click(false);
  EXPECT_EQ(world.monitor.writes.size(), 4u);
  EXPECT_EQ(world.receiver.volumes, std::vector<int>{0});
}

TEST_F(OperatorHandlersTest, DecoderSwitchWhileTrackingRetunesWithTheNewDecodersGrid) {
  state.ControlFrequencyText = "850.00000";
  handlers.SpeedButton1Click(true);
  OnALine();
  state.JsmrOnLine = true;
  handlers.RadioButton4Click();
  EXPECT_EQ(state.Decoder, DecoderType::kJsmr);
  EXPECT_TRUE(state.CheckBox3.enabled);
  EXPECT_TRUE(state.OnControlChannel);
  EXPECT_FALSE(state.JsmrOnLine);
  EXPECT_EQ(state.RasterOffset, 0.0125);
  EXPECT_EQ(state.Timer1.Interval(), 0);
  EXPECT_EQ(state.Timer2.Interval(), 0);
  EXPECT_EQ(world.receiver.tunes.size(), 2u);

  state.ControlFrequencyText = "850.00625";
  handlers.RadioButton3Click();
  EXPECT_FALSE(state.CheckBox3.enabled);
  EXPECT_EQ(state.McAccessChannelStep, 0.00625);
  EXPECT_EQ(world.receiver.tunes.size(), 3u);
}

TEST_F(OperatorHandlersTest, DecoderSwitchWithoutTrackingOnlyReturnsTheFlagAndTheVolume) {
  state.WaveOutput = false;
  state.TrackBar2.position = 40;
  state.OnControlChannel = false;
  state.ControlFrequencyText = "850.00625";
  handlers.RadioButton4Click();
  EXPECT_TRUE(state.OnControlChannel);
  EXPECT_TRUE(state.CheckBox3.enabled);
  EXPECT_EQ(state.RasterOffset, 0.0);  // not derived
  EXPECT_TRUE(world.receiver.tunes.empty());
  EXPECT_EQ(world.receiver.volumes, std::vector<int>{40});
}

TEST_F(OperatorHandlersTest, InvertSetsThePolarity) {
  handlers.CheckBox3Click(true);
  EXPECT_EQ(state.DecoderPolarity, -1.0);
  handlers.CheckBox3Click(false);
  EXPECT_EQ(state.DecoderPolarity, 1.0);
}

TEST_F(OperatorHandlersTest, IdSpecificReceptionLocksTheSevenIdControlsAndDropsThePassList) {
  state.CheckBox18.checked = true;
  handlers.CheckBox15Click(true);
  for (bool enabled :
       {state.Edit2.enabled, state.Edit3.enabled, state.Edit4.enabled, state.CheckBox18.enabled,
        state.ComboBox4.enabled, state.Button7Enabled, state.Button8Enabled}) {
    EXPECT_FALSE(enabled);
  }
  EXPECT_FALSE(state.CheckBox18.checked);
  EXPECT_TRUE(state.IdSpecificReception());

  handlers.CheckBox15Click(false);
  for (bool enabled :
       {state.Edit2.enabled, state.Edit3.enabled, state.Edit4.enabled, state.CheckBox18.enabled,
        state.ComboBox4.enabled, state.Button7Enabled, state.Button8Enabled}) {
    EXPECT_TRUE(enabled);
  }
  EXPECT_FALSE(state.CheckBox18.checked);
}

TEST_F(OperatorHandlersTest, PassListAndEntriesTakeWhateverEdit2Holds) {
  handlers.Button7Click();  // the placeholder is added like any ID
  state.Edit2.text = "1A7";
  handlers.Button7Click();
  handlers.Button7Click();  // duplicates allowed
  EXPECT_EQ(state.IdPassList, (std::vector<std::string>{"---", "1A7", "1A7"}));
  EXPECT_EQ(state.ComboBox4.text, "1A7");

  handlers.Edit3Click();
  handlers.Edit4Click();
  EXPECT_EQ(state.Edit3.text, "1A7");
  EXPECT_EQ(state.Edit4.text, "1A7");
  handlers.Edit4DblClick();
  EXPECT_EQ(state.Edit4.text, "---");
  EXPECT_EQ(state.Edit3.text, "1A7");

  handlers.Button8Click();
  EXPECT_TRUE(state.IdPassList.empty());
  EXPECT_EQ(state.ComboBox4.text, "----");
}

TEST_F(OperatorHandlersTest, TimersReturnFromALineAndIdleOnTheControlChannel) {
  OnALine();
  handlers.Timer1Timer();
  EXPECT_TRUE(state.OnControlChannel);
  EXPECT_EQ(state.Timer2.Interval(), 0);
  EXPECT_EQ(state.Timer1.Interval(), 3000);  // the watchdog is left to its decoder
  ASSERT_EQ(world.receiver.tunes.size(), 1u);
  EXPECT_EQ(world.receiver.tunes[0].frequencyText, "850.00000");
  handlers.Timer1Timer();
  handlers.Timer2Timer();
  EXPECT_EQ(world.receiver.tunes.size(), 1u);

  OnALine();
  handlers.Timer2Timer();
  EXPECT_TRUE(state.OnControlChannel);
  EXPECT_EQ(state.Timer1.Interval(), 3000);
  EXPECT_EQ(world.receiver.tunes.size(), 2u);
}

TEST_F(OperatorHandlersTest, CallTimeTimerIsNotRestartedBySettingItsOwnInterval) {
  state.Timer2.SetInterval(120000);
  world.clock.now = 90000;
  state.Timer2.SetInterval(120000);  // a new call with the same call time
  EXPECT_EQ(timer2.restarts, 1);
  world.clock.now = 120000;
  int ticks = 0;
  timer2.Advance([&] { ++ticks; });
  EXPECT_EQ(ticks, 1);  // fires on the first schedule, not 90 s later
  state.Timer2.SetInterval(60000);
  EXPECT_EQ(timer2.restarts, 2);
  state.Timer2.SetInterval(0);
  EXPECT_FALSE(timer2.Running());
}

TEST_F(OperatorHandlersTest, ControlFrequencyThatIsNotANumberStopsTheHandlerAtTheParse) {
  state.ControlFrequencyText = "85O.00000";
  OnALine();
  handlers.SpeedButton1Click(true);
  EXPECT_TRUE(state.OnControlChannel);  // done before the parse
  EXPECT_EQ(state.Timer1.Interval(), 0);
  EXPECT_TRUE(world.receiver.tunes.empty());
  ASSERT_EQ(world.notice.errors.size(), 1u);
  EXPECT_NE(world.notice.errors[0].find("'85O.00000'"), std::string::npos);

  state.Decoder = DecoderType::kJsmr;
  state.JsmrOnLine = true;
  state.WaveOutput = false;
  handlers.RadioButton4Click();
  EXPECT_TRUE(state.JsmrOnLine);  // after the parse: skipped
  EXPECT_TRUE(world.receiver.volumes.empty());

  OnALine();
  handlers.Timer1Timer();
  EXPECT_FALSE(state.OnControlChannel);
  EXPECT_EQ(state.Timer2.Interval(), 120000);
  EXPECT_TRUE(world.receiver.tunes.empty());
  EXPECT_EQ(world.notice.errors.size(), 3u);
}

TEST_F(OperatorHandlersTest, WindowSwitches) {
  handlers.CheckBox1Click(false);
  EXPECT_FALSE(state.AlwaysOnTop);
  EXPECT_FALSE(state.CheckBox1.checked);
  handlers.CheckBox1Click(true);
  EXPECT_TRUE(state.AlwaysOnTop);

  EXPECT_EQ(state.FormHeight, 135);
  handlers.Button5Click();
  EXPECT_EQ(state.FormHeight, 470);
  handlers.Button5Click();
  EXPECT_EQ(state.FormHeight, 135);
  state.FormHeight = 300;  // any other height opens up
  handlers.Button5Click();
  EXPECT_EQ(state.FormHeight, 470);
}

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

TEST_F(OperatorHandlersTest, EveryWayBackFromALineIsAReturnEventWithItsReasonAndTime) {
  struct Case {
    const char* reason;
    std::function<void(OperatorHandlers&, MainState&)> act;
    bool tuned;
  };
  const Case cases[] = {
      {"signal-lost", [](OperatorHandlers& h, MainState&) { h.Timer1Timer(); }, true},
      {"call-time-limit", [](OperatorHandlers& h, MainState&) { h.Timer2Timer(); }, true},
      {"forced", [](OperatorHandlers& h, MainState&) { h.Button3Click(); }, true},
      {"tracking-off", [](OperatorHandlers& h, MainState&) { h.SpeedButton1Click(false); }, false},
      {"decoder-switch",
       [](OperatorHandlers& h, MainState& s) {
         s.TrackingOn = true;
         h.RadioButton4Click();
       },
       true},
      {"decoder-switch", [](OperatorHandlers& h, MainState&) { h.RadioButton3Click(); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    MainState s;
    RecordingWorld w;
    OperatorHandlers h{s, w.services()};
    s.ControlFrequencyText = "850.01250";
    TrackingEvent call;
    call.event = "call";
    call.line = "851.01250";
    w.events.Followed(call, s.Decoder);
    s.OnControlChannel = false;
    w.clock.now += 12345;
    c.act(h, s);
    const auto returns = w.eventLog.Of("return");
    ASSERT_EQ(returns.size(), 1u);
    EXPECT_EQ(returns[0].reason, c.reason);
    EXPECT_EQ(returns[0].line, "851.01250");
    EXPECT_EQ(returns[0].to, "850.01250");
    EXPECT_DOUBLE_EQ(*returns[0].seconds, 12.345);
    EXPECT_EQ(returns[0].tuned, c.tuned ? std::nullopt : std::optional<bool>(false));
    EXPECT_TRUE(s.OnControlChannel);
  }
}

TEST_F(OperatorHandlersTest, NothingReturnsWhenNoLineWasFollowed) {
  handlers.Button3Click();
  handlers.SpeedButton1Click(true);
  OnALine();  // a tune the events never heard of
  handlers.Timer1Timer();
  EXPECT_TRUE(world.eventLog.Of("return").empty());
}

}  // namespace
}  // namespace tarvo
