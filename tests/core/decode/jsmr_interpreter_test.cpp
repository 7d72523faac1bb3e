#include "core/decode/jsmr_interpreter.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/base/megahertz_text.h"
#include "core/decode/jsmr_fields.h"
#include "support/jsmr_modulator.h"
#include "support/recorders.h"
#include "support/tone_source.h"

namespace tarvo {
namespace {

using testing::JsmrFields;
using testing::JsmrWordFor;
using testing::ToneSource;

const FilterDesigns& Designs() {
  static const FilterDesigns designs = ComputeFilterDesigns();
  return designs;
}

struct Tracker {
  MainState state;
  testing::RecordingWorld world;
  JsmrInterpreter interpreter{state, Designs(), world.services()};
  std::vector<int> timerRestarts;

  Tracker() {
    state.ControlFrequencyText = "850.00000";
    state.ControlFrequency = 850.0;
    state.RasterOffset = 0.0125;
    state.TrackingOn = true;
  }
  void Hear(const JsmrFields& fields) { interpreter.InterpretJsmrWord(JsmrWordFor(fields)); }
  void Supervise(InputBlock block) { interpreter.SuperviseJsmrLine(block); }
};

TEST(JsmrFields, ReadsTheComplementedScrambledFields) {
  const JsmrFields cases[] = {
      {0x1F, 0x2A, 0, 17}, {0x00, 0x00, 1, 0}, {0xFF, 0xFF, 0, 1023}, {0xA5, 0x3C, 1, 719}};
  for (const JsmrFields& sent : cases) {
    const JsmrWordFields got = ParseJsmrWord(JsmrWordFor(sent));
    EXPECT_EQ(got.id, sent.id);
    EXPECT_EQ(got.station, sent.station);
    EXPECT_EQ(got.callKind, sent.callKind);
    EXPECT_EQ(got.channel, sent.channel);
  }
}

TEST(JsmrInterpreter, TunesToTheLineOfTheChannelOnTheControlChannelsRaster) {
  struct Case {
    int channel;
    double rasterOffset;
    const char* line;
  };
  const Case cases[] = {
      {0, 0.0, "849.98750"},    {1, 0.0, "850.01250"},     {719, 0.0, "867.96250"},
      {0, 0.0125, "850.00000"}, {17, 0.0125, "850.42500"}, {719, 0.0125, "867.97500"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Tracker t;
    t.state.ControlFrequency = 860.0;
    t.state.RasterOffset = c.rasterOffset;
    t.Hear({0x42, 0x01, 0, c.channel});
    ASSERT_EQ(t.world.receiver.tunes.size(), 1u);
    EXPECT_EQ(t.world.receiver.tunes[0].frequencyText, c.line);
    EXPECT_EQ(t.state.Label21, std::string(c.line) + "MHz");
  }
}

TEST(JsmrInterpreter, FollowsOnlyAdmittedCallsAndListsEveryLine) {
  struct Case {
    const char* name;
    JsmrFields fields;
    std::function<void(MainState&)> setUp;
    std::optional<double> listed;
    const char* edit2;
    bool tuned;
    const char* event = nullptr;  // the call event's action and reason; none for non-calls
  };
  const auto none = [](MainState&) {};
  const Case cases[] = {
      {"admitted call", {0x42, 0x01, 0, 17}, none, 850.425, "42", true, "follow"},
      {"tracking off",
       {0x42, 0x01, 0, 17},
       [](MainState& s) { s.TrackingOn = false; },
       850.425,
       "42",
       false,
       "skip tracking-off"},
      {"line prints as the control frequency",
       {0x42, 0x01, 0, 0},
       none,
       850.0,
       "---",
       false,
       "skip control-line"},
      {"control-channel announcement", {0x1F, 0x2A, 0, 17}, none, std::nullopt, "---", false},
      {"channel 720", {0x42, 0x01, 0, 720}, none, std::nullopt, "---", false},
      {"channel 1023", {0x42, 0x01, 0, 1023}, none, std::nullopt, "---", false},
      {"ID in the pass list",
       {0x42, 0x01, 0, 17},
       [](MainState& s) {
         s.CheckBox18.checked = true;
         s.IdPassList = {"17", "42"};
       },
       850.425,
       "42",
       false,
       "skip id-passed"},
      {"pass list off",
       {0x42, 0x01, 0, 17},
       [](MainState& s) { s.IdPassList = {"42"}; },
       850.425,
       "42",
       true,
       "follow"},
      {"ID-specific reception, ID in Edit3",
       {0x42, 0x01, 0, 17},
       [](MainState& s) {
         s.CheckBox15.checked = true;
         s.Edit3.text = "42";
       },
       850.425,
       "---",
       true,
       "follow"},
      {"ID-specific reception, ID nowhere",
       {0x42, 0x01, 0, 17},
       [](MainState& s) {
         s.CheckBox15.checked = true;
         s.Edit4.text = "43";
       },
       850.425,
       "---",
       false,
       "skip id-not-selected"},
      {"ID-specific reception ignores the pass list",
       {0x42, 0x01, 0, 17},
       [](MainState& s) {
         s.CheckBox15.checked = true;
         s.Edit2.text = "42";
         s.CheckBox18.checked = true;
         s.IdPassList = {"42"};
       },
       850.425,
       "42",
       true,
       "follow"},
      {"hex digits upper case", {0xAB, 0x01, 0, 17}, none, 850.425, "AB", true, "follow"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Tracker t;
    c.setUp(t.state);
    t.Hear(c.fields);
    if (c.listed) {
      ASSERT_EQ(t.world.heardLines.added.size(), 1u);
      EXPECT_DOUBLE_EQ(t.world.heardLines.added[0], *c.listed);
    } else {
      EXPECT_TRUE(t.world.heardLines.added.empty());
    }
    EXPECT_EQ(t.state.Edit2.text, c.edit2);
    EXPECT_EQ(t.world.receiver.tunes.size(), c.tuned ? 1u : 0u);
    EXPECT_EQ(t.state.JsmrOnLine, c.tuned);
    EXPECT_EQ(t.state.OnControlChannel, !c.tuned);
    EXPECT_EQ(t.state.Panel1, Colour::kAqua);
    const auto calls = t.world.eventLog.Of("call");
    if (c.event == nullptr) {
      EXPECT_TRUE(calls.empty());
    } else {
      ASSERT_EQ(calls.size(), 1u);
      const std::string decision =
          calls[0].reason.empty() ? calls[0].action : calls[0].action + " " + calls[0].reason;
      EXPECT_EQ(decision, c.event);
      EXPECT_EQ(calls[0].decoder, "jsmr");
      EXPECT_EQ(calls[0].line, FormatMegahertz(*c.listed));
      EXPECT_EQ(calls[0].channel, c.fields.channel);
    }
  }
}

TEST(JsmrInterpreter, AnnouncementShowsTheStationAndResetsTheReadOuts) {
  Tracker t;
  t.state.Label7 = "通話回線";
  t.state.Label21 = "850.42500MHz";
  t.state.Label22 = "3 / 4";
  t.state.Label28 = "2 分";
  t.Hear({0x1F, 0x0B, 1, 17});
  EXPECT_EQ(t.state.Label6, "0B");
  EXPECT_EQ(t.state.Label7, "制御回線");
  EXPECT_EQ(t.state.Label21, "---.-----MHz");
  EXPECT_EQ(t.state.Label22, "- / -");
  EXPECT_EQ(t.state.Label28, "- 分");
}

TEST(JsmrInterpreter, ShowsTheLineAndLetsItRepaintBeforeTuning) {
  Tracker t;
  t.state.RadioModel = 5;
  t.state.CallAudioOpen = true;
  t.state.Timer1.SetInterval(3000);
  t.state.Timer2.SetInterval(60000);
  std::string shownAtPump;
  std::size_t tunesAtPump = 99;
  t.world.pump.onPump = [&] {
    shownAtPump = t.state.Label7 + t.state.Label21;
    tunesAtPump = t.world.receiver.tunes.size();
  };
  t.Hear({0x42, 0x01, 0, 17});
  EXPECT_EQ(shownAtPump, "通話回線850.42500MHz");
  EXPECT_EQ(tunesAtPump, 0u);
  ASSERT_EQ(t.world.receiver.tunes.size(), 1u);
  EXPECT_EQ(t.world.receiver.tunes[0].model, 5);
  EXPECT_EQ(t.state.Timer1.Interval(), 0);
  EXPECT_EQ(t.state.Timer2.Interval(), 0);
  EXPECT_FALSE(t.state.CallAudioOpen);
  EXPECT_EQ(t.interpreter.JsmrLineBlocks(), 0);
}

// A call followed from its first supervised block, then `blocks` more supervised blocks with
// the given line audio; returns the 1-based block of the return tune, if any.
std::optional<int> FollowCall(Tracker& t, const std::function<InputBlock(int)>& audio, int blocks) {
  t.Hear({0x42, 0x01, 0, 17});
  for (int b = 1; b <= blocks; ++b) {
    t.Supervise(audio(b));
    if (t.world.receiver.tunes.size() > 1) return b;
  }
  return std::nullopt;
}

TEST(JsmrInterpreter, ReleasesOnTheFirstBlockAfterTheHoldWithTheToneAboveThreshold) {
  struct Case {
    const char* name;
    double toneAmplitude;
    int toneFrom;  // first block with the tone
    int toneUntil;
    int threshold;  // TrackBar4 position
    bool tracking;
    std::optional<int> releaseBlock;
  };
  const Case cases[] = {
      {"tone throughout", 1000.0, 1, 99, 5000, true, 21},
      {"strong tone from block 30", 5000.0, 30, 99, 5000, true, 30},
      {"tone gone before the hold ends", 1000.0, 1, 8, 5000, true, std::nullopt},
      {"weak tone", 200.0, 1, 99, 5000, true, std::nullopt},
      {"silence at threshold 0: level equals threshold", 0.0, 1, 99, 99, true, std::nullopt},
      {"faintest tone over threshold 0", 1.0, 1, 99, 99, true, 21},
      {"tracking off", 1000.0, 1, 99, 5000, false, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Tracker t;
    t.state.TrackBar4.position = c.threshold;
    ToneSource tone(150.0, c.toneAmplitude);
    const auto audio = [&](int b) {
      const InputBlock block = tone.NextBlock();
      return b >= c.toneFrom && b <= c.toneUntil ? block : InputBlock{};
    };
    t.world.pump.onPump = [&] { t.state.TrackingOn = c.tracking; };  // switched off mid-call
    EXPECT_EQ(FollowCall(t, audio, 40), c.releaseBlock);
    EXPECT_EQ(t.state.JsmrOnLine, !c.releaseBlock.has_value());
    EXPECT_EQ(t.interpreter.JsmrLineBlocks(), c.releaseBlock ? 0 : 20);
  }
}

TEST(JsmrInterpreter, ReleaseReturnsToTheControlChannelLabelAndClosesTheMonitor) {
  for (const bool wave : {true, false}) {
    SCOPED_TRACE(wave ? "WAVE" : "RADIO");
    Tracker t;
    t.state.WaveOutput = wave;
    t.state.CheckBox2.checked = true;
    t.state.RadioModel = 3;
    t.state.ControlFrequencyText = "851.02500";  // picked from the list since tracking began
    ToneSource tone(150.0, 1000.0);
    // The receiver is silenced before the return tune is sent.
    std::size_t closedAtPump = 0;
    t.world.pump.onPump = [&] {
      closedAtPump = wave ? t.world.monitor.SilentCount() : t.world.receiver.volumes.size();
    };
    ASSERT_EQ(FollowCall(
                  t, [&](int) { return tone.NextBlock(); }, 25),
              21);
    ASSERT_EQ(t.world.receiver.tunes.size(), 2u);
    EXPECT_EQ(t.world.receiver.tunes[1].frequencyText, "851.02500");
    EXPECT_EQ(t.world.receiver.tunes[1].model, 3);
    EXPECT_FALSE(t.state.CallAudioOpen);
    EXPECT_EQ(t.state.Label7, "制御回線");
    EXPECT_EQ(t.state.Label21, "---.-----MHz");
    EXPECT_EQ(t.state.Panel2, Colour::kBlack);
    EXPECT_EQ(t.state.Panel4, Colour::kBlack);
    if (wave) {
      // Four to open on block 6, 14 blocks played, four to close.
      ASSERT_EQ(t.world.monitor.writes.size(), 22u);
      EXPECT_EQ(t.world.monitor.SilentCount(), 8);
      EXPECT_TRUE(t.world.monitor.writes.back().silence);
      EXPECT_TRUE(t.world.monitor.writes.back().deemphasis);
      EXPECT_TRUE(t.world.receiver.volumes.empty());
    } else {
      EXPECT_EQ(t.world.receiver.volumes, (std::vector<int>{80, 0}));
      EXPECT_TRUE(t.world.monitor.writes.empty());
    }
    EXPECT_EQ(closedAtPump, wave ? 8u : 2u);
  }
}

TEST(JsmrInterpreter, OpensTheMonitorOnTheSixthBlockOfACallAndPlaysTheRest) {
  struct Case {
    const char* name;
    bool wave;
    bool monitorOn;
    bool call;
    int openBlock;  // 0: never
  };
  const Case cases[] = {
      {"call, WAVE", true, false, true, 6},
      {"call, RADIO", false, false, true, 6},
      {"monitor button, WAVE", true, true, false, 1},
      {"monitor button, RADIO", false, true, false, 1},
      {"no call, no monitor", true, false, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Tracker t;
    t.state.WaveOutput = c.wave;
    t.state.MonitorOn = c.monitorOn;
    t.state.TrackBar2.position = 120;
    if (c.call) t.Hear({0x42, 0x01, 0, 17});
    ToneSource voice(700.0, 3000.0);
    for (int b = 1; b <= 9; ++b) {
      SCOPED_TRACE(b);
      t.state.Timer1.SetInterval(3000);
      t.state.Timer2.SetInterval(60000);
      const InputBlock block = voice.NextBlock();
      const std::size_t writes = t.world.monitor.writes.size();
      const std::size_t volumes = t.world.receiver.volumes.size();
      t.Supervise(block);
      const bool open = c.openBlock != 0 && b >= c.openBlock;
      EXPECT_EQ(t.state.CallAudioOpen, open);
      if (b == c.openBlock) {
        EXPECT_EQ(t.state.Timer1.Interval(), 0);
        EXPECT_EQ(t.state.Timer2.Interval(), 0);
        if (c.wave) {
          ASSERT_EQ(t.world.monitor.writes.size(), writes + 4);
          EXPECT_TRUE(t.world.monitor.writes.back().silence);
        } else {
          EXPECT_EQ(t.world.receiver.volumes, std::vector<int>{120});
        }
      } else if (open && c.wave) {
        ASSERT_EQ(t.world.monitor.writes.size(), writes + 1);
        EXPECT_FALSE(t.world.monitor.writes.back().silence);
        EXPECT_EQ(t.world.monitor.writes.back().samples, block);
      } else {
        EXPECT_EQ(t.world.monitor.writes.size(), writes);
        EXPECT_EQ(t.world.receiver.volumes.size(), volumes);
      }
      EXPECT_EQ(t.state.Panel2, c.call ? Colour::kLime : Colour::kBlack);
      EXPECT_EQ(t.state.Panel4, c.call ? Colour::kYellow : Colour::kBlack);
    }
  }
}

TEST(JsmrInterpreter, ToneMeterIsDrawnOnlyWhileAlwaysOnTopIsTicked) {
  for (const bool alwaysOnTop : {true, false}) {
    SCOPED_TRACE(alwaysOnTop);
    Tracker t;
    t.state.CheckBox1.checked = alwaysOnTop;
    t.state.TrackBar4.position = 4321;
    ToneSource tone(150.0, 400.0);
    for (int b = 0; b < 10; ++b) t.Supervise(tone.NextBlock());
    const double meter = t.interpreter.ToneLevel() * 50.0;
    EXPECT_GT(meter, 20.0);
    if (alwaysOnTop) {
      EXPECT_EQ(t.state.Image3.length, static_cast<int>(meter));
      EXPECT_EQ(t.state.Image3.colour, Colour::kAqua);
      EXPECT_EQ(t.state.Image3.marker, 43);
    } else {
      EXPECT_EQ(t.state.Image3.length, 0);
      EXPECT_EQ(t.state.Image3.marker, -1);
    }
  }
}

}  // namespace
}  // namespace tarvo
