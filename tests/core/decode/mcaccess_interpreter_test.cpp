#include "core/decode/mcaccess_interpreter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/mcaccess_words.h"
#include "support/recorders.h"

namespace tarvo {
namespace {

using testing::MakeMcAccessWord;
using testing::McAccessWordFields;

McAccessWordFields Call(int id, int channel, bool offset, int lineTypeCode = 0) {
  McAccessWordFields f;
  f.type = 0x20;
  f.id = id;
  f.channel = channel;
  f.offset = offset;
  f.lineTypeCode = lineTypeCode;
  return f;
}

McAccessWordFields Line(int type, int channel, bool offset, bool control = false) {
  McAccessWordFields f;
  f.type = type;
  f.channel = channel;
  f.offset = offset;
  f.control = control;
  return f;
}

McAccessWordFields CallTime(int code) {
  McAccessWordFields f;
  f.type = 0x00;
  f.callTimeCode = code;
  return f;
}

McAccessWordFields Counters(std::uint32_t firstMap, std::uint32_t secondMap) {
  McAccessWordFields f;
  f.type = 0x39;
  f.firstMap = firstMap;
  f.secondMap = secondMap;
  return f;
}

McAccessWordFields OfType(int type, bool control = false) {
  McAccessWordFields f;
  f.type = type;
  f.control = control;
  return f;
}

// The fields in one line: only those present appear.
std::string Describe(const McAccessFields& f) {
  std::string text = f.station + " " + f.type;
  if (f.recognised) text += " known";
  if (f.control) text += " control";
  if (!f.id.empty()) text += " id=" + f.id;
  if (!f.lineType.empty()) text += " " + f.lineType;
  if (!f.line.empty()) text += " line=" + f.line;
  if (f.minutes) text += " minutes=" + std::to_string(*f.minutes);
  if (f.calls) text += " calls=" + std::to_string(*f.calls);
  if (f.transmissions) text += " tx=" + std::to_string(*f.transmissions);
  return text;
}

struct ReadCase {
  const char* name;
  McAccessWordFields word;
  double step;
  int minutesBefore;
  const char* want;
};

TEST(ReadMcAccessFieldsTest, ReadsWhatEachTypeCarries) {
  const ReadCase cases[] = {
      {"call, 12.5 kHz step", Call(0x1A7, 41, true), 0.0125, 0,
       "2F 20 known id=1A7 VOICE line=851.01250"},
      {"call, 6.25 kHz step", Call(0x1A7, 41, true), 0.00625, 0,
       "2F 20 known id=1A7 VOICE line=851.01875"},
      {"top channel", Call(0x3FF, 511, false, 3), 0.0125, 0,
       "2F 20 known id=3FF DIGIT line=862.77500"},
      {"line type 0 1", Call(0x001, 1, false, 1), 0.0125, 0,
       "2F 20 known id=001 ----- line=850.02500"},
      {"line type 1 0", Call(0x010, 1, false, 2), 0.0125, 0,
       "2F 20 known id=010 ----- line=850.02500"},
      {"band edge", Line(0x30, 0, false, true), 0.0125, 0, "2F 30 known control line=850.00000"},
      {"broadcast", Line(0x28, 2, true), 0.00625, 0, "2F 28 known line=850.04375"},
      {"line announcement", Line(0x33, 40, false), 0.0125, 0, "2F 33 known line=851.00000"},
      {"call time 1 0 1", CallTime(0b101), 0.0125, 1, "2F 00 known minutes=3"},
      {"call time 1 1 0", CallTime(0b110), 0.0125, 0, "2F 00 known minutes=2"},
      {"call time 0 0 0", CallTime(0b000), 0.0125, 3, "2F 00 known minutes=1"},
      {"call time 0 1 1 keeps", CallTime(0b011), 0.0125, 2, "2F 00 known minutes=2"},
      {"call time 1 1 1 keeps", CallTime(0b111), 0.0125, 0, "2F 00 known minutes=0"},
      {"counters", Counters(0x8001, 0x200F01), 0.0125, 0, "2F 39 known calls=2 tx=6"},
      {"full counters", Counters(0xFFFF, 0x3FFFFF), 0.0125, 0, "2F 39 known calls=16 tx=22"},
      {"type 08", OfType(0x08), 0.0125, 0, "2F 08 known"},
      {"type 10", OfType(0x10, true), 0.0125, 0, "2F 10 known control"},
      {"unknown type 3F", OfType(0x3F), 0.0125, 0, "2F 3F"},
      {"unknown type 02", OfType(0x02, true), 0.0125, 0, "2F 02 control"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const McAccessFields got =
        ReadMcAccessFields(MakeMcAccessWord(c.word), c.step, c.minutesBefore);
    EXPECT_EQ(Describe(got), c.want);
    if (got.lineMHz) {
      EXPECT_NEAR(*got.lineMHz, std::stod(got.line), 1e-9);
    }
  }
}

TEST(ReadMcAccessFieldsTest, StationTakesAllSixBits) {
  McAccessWordFields f = OfType(0x08);
  f.station = 0x3A;
  EXPECT_EQ(ReadMcAccessFields(MakeMcAccessWord(f), 0.0125, 0).station, "3A");
  f.station = 0x05;
  EXPECT_EQ(ReadMcAccessFields(MakeMcAccessWord(f), 0.0125, 0).station, "05");
}

class McAccessInterpreterTest : public ::testing::Test {
 protected:
  McAccessInterpreterTest() {
    timer2.clock = &world.clock;
    state.Timer2.SetDriver(&timer2);
  }

  void Frame(const McAccessWordFields& fields) {
    interpreter.InterpretMcAccessFrame(MakeMcAccessWord(fields));
  }

  // What Timer1Timer or Timer2Timer would do once the call is over.
  void BackOnControl() { state.OnControlChannel = true; }

  MainState state;
  testing::RecordingWorld world;
  testing::FakeTimer timer2;
  McAccessInterpreter interpreter{state, world.services()};
};

struct ReadoutCase {
  const char* name;
  McAccessWordFields word;
  const char* label7;
  const char* label21;
  const char* label22;
  const char* label28;
};

TEST_F(McAccessInterpreterTest, ReadoutsPerType) {
  const ReadoutCase cases[] = {
      {"call time", CallTime(0b110), "通話回線", "---.-----MHz", "9 / 9", "2 分"},
      {"counters", Counters(0x0007, 0x000300), "通話回線", "---.-----MHz", "3 / 2", "9 分"},
      {"line announcement", Line(0x33, 0, false), "通話回線", "850.00000MHz", "- / -", "- 分"},
      {"control move, tracking off", Line(0x30, 41, true), "周波切替", "851.01250MHz", "- / -",
       "- 分"},
      {"control move on the control line", Line(0x30, 41, true, true), "制御回線", "851.01250MHz",
       "- / -", "- 分"},
      {"type 08", OfType(0x08), "通話回線", "LINE", "9 / 9", "9 分"},
      {"type 10 on the control line", OfType(0x10, true), "制御回線", "LINE", "9 / 9", "9 分"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    state.Label6 = "--";
    state.Label7 = "KIND";
    state.Label21 = "LINE";
    state.Label22 = "9 / 9";
    state.Label28 = "9 分";
    state.Panel1 = Colour::kBlack;
    state.RxLampBlocks = 5;
    Frame(c.word);
    EXPECT_EQ(state.Label6, "2F");
    EXPECT_EQ(state.Label7, c.label7);
    EXPECT_EQ(state.Label21, c.label21);
    EXPECT_EQ(state.Label22, c.label22);
    EXPECT_EQ(state.Label28, c.label28);
    EXPECT_EQ(state.Panel1, Colour::kAqua);
    EXPECT_EQ(state.RxLampBlocks, 0);
  }
  EXPECT_TRUE(world.receiver.tunes.empty());
  EXPECT_TRUE(world.heardLines.added.empty());
}

TEST_F(McAccessInterpreterTest, UnknownTypeOnlyShowsTheStation) {
  state.TrackingOn = true;
  state.RxLampBlocks = 3;
  McAccessWordFields f = Call(0x1A7, 41, true);
  f.type = 0x21;
  f.station = 0x12;
  Frame(f);
  EXPECT_EQ(state.Label6, "12");
  EXPECT_EQ(state.Label7, "－－－－");
  EXPECT_EQ(state.Label21, kNoLineFrequency);
  EXPECT_EQ(state.Panel1, Colour::kBlack);
  EXPECT_EQ(state.RxLampBlocks, 3);
  EXPECT_TRUE(world.receiver.tunes.empty());
  EXPECT_TRUE(world.heardLines.added.empty());
}

struct CallCase {
  const char* name;
  McAccessWordFields word;
  bool tracking;
  bool idSpecific;
  std::vector<std::string> edits;  // Edit2, Edit3, Edit4
  bool passOn;
  std::vector<std::string> passList;
  bool followed;
  std::string edit2After;
  const char* skipReason = "";  // the call event's reason; a follow has none
};

TEST_F(McAccessInterpreterTest, CallAssignmentAdmission) {
  const std::vector<std::string> dashes = {"---", "---", "---"};
  const CallCase cases[] = {
      {"voice", Call(0x1A7, 41, true), true, false, dashes, false, {}, true, "1A7"},
      {"line type 0 1 followed like voice",
       Call(0x1A7, 41, true, 1),
       true,
       false,
       dashes,
       false,
       {},
       true,
       "1A7"},
      {"digital listed, Edit2 still set",
       Call(0x1A7, 41, true, 3),
       true,
       false,
       dashes,
       false,
       {},
       false,
       "1A7",
       "data-line"},
      {"tracking off",
       Call(0x1A7, 41, true),
       false,
       false,
       dashes,
       false,
       {},
       false,
       "---",
       "tracking-off"},
      {"band edge",
       Call(0x1A7, 0, false),
       true,
       false,
       dashes,
       false,
       {},
       false,
       "---",
       "band-edge"},
      {"ID-specific, all three empty",
       Call(0x1A7, 41, true),
       true,
       true,
       dashes,
       false,
       {},
       false,
       "---",
       "id-not-selected"},
      {"ID-specific, Edit4 matches",
       Call(0x1A7, 41, true),
       true,
       true,
       {"---", "---", "1A7"},
       false,
       {},
       true,
       "---"},
      {"ID-specific, Edit2 matches",
       Call(0x1A7, 41, true),
       true,
       true,
       {"1A7", "0FF", "---"},
       false,
       {},
       true,
       "1A7"},
      {"ID-specific compares exact text",
       Call(0x1A7, 41, true),
       true,
       true,
       {"1a7", "1A7 ", "---"},
       false,
       {},
       false,
       "1a7",
       "id-not-selected"},
      {"pass list holds the ID",
       Call(0x1A7, 41, true),
       true,
       false,
       {"0FF", "---", "---"},
       true,
       {"055", "1A7"},
       false,
       "0FF",
       "id-passed"},
      {"pass list without the ID",
       Call(0x1A7, 41, true),
       true,
       false,
       dashes,
       true,
       {"055", "1A8"},
       true,
       "1A7"},
      {"pass list off", Call(0x1A7, 41, true), true, false, dashes, false, {"1A7"}, true, "1A7"},
      {"ID-specific overrides the pass list",
       Call(0x1A7, 41, true),
       true,
       true,
       {"---", "1A7", "---"},
       true,
       {"1A7"},
       true,
       "---"},
      {"digital in the pass list",
       Call(0x1A7, 41, true, 3),
       true,
       false,
       {"0FF", "---", "---"},
       true,
       {"1A7"},
       false,
       "0FF",
       "data-line"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MainState s;
    testing::RecordingWorld w;
    McAccessInterpreter interp(s, w.services());
    s.TrackingOn = c.tracking;
    s.CheckBox15.checked = c.idSpecific;
    s.Edit2.text = c.edits[0];
    s.Edit3.text = c.edits[1];
    s.Edit4.text = c.edits[2];
    s.CheckBox18.checked = c.passOn;
    s.IdPassList = c.passList;
    interp.InterpretMcAccessFrame(MakeMcAccessWord(c.word));

    const double line = c.word.channel == 0 ? 850.0 : 851.0125;
    ASSERT_EQ(w.heardLines.added.size(), 1u);
    EXPECT_NEAR(w.heardLines.added[0], line, 1e-9);
    EXPECT_EQ(s.Edit2.text, c.edit2After);
    EXPECT_EQ(s.Label7, "通話回線");
    const auto calls = w.eventLog.Of("call");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].decoder, "mcaccess");
    EXPECT_EQ(calls[0].id, "1A7");
    EXPECT_EQ(calls[0].line, c.word.channel == 0 ? "850.00000" : "851.01250");
    EXPECT_EQ(calls[0].action, c.followed ? "follow" : "skip");
    EXPECT_EQ(calls[0].reason, c.skipReason);
    if (c.followed) {
      ASSERT_EQ(w.receiver.tunes.size(), 1u);
      EXPECT_EQ(w.receiver.tunes[0].frequencyText, "851.01250");
      EXPECT_EQ(s.Label21, "851.01250MHz");
      EXPECT_FALSE(s.OnControlChannel);
      EXPECT_EQ(w.pump.count, 1);
    } else {
      EXPECT_TRUE(w.receiver.tunes.empty());
      EXPECT_EQ(s.Label21, kNoLineFrequency);
      EXPECT_TRUE(s.OnControlChannel);
      EXPECT_EQ(w.pump.count, 0);
    }
  }
}

TEST_F(McAccessInterpreterTest, CaptionsAreSetBeforeThePumpThatPrecedesTheTune) {
  state.TrackingOn = true;
  state.RadioModel = 6;
  std::string label21AtPump;
  std::size_t tunesAtPump = 99;
  world.pump.onPump = [&] {
    label21AtPump = state.Label21;
    tunesAtPump = world.receiver.tunes.size();
  };
  Frame(Call(0x1A7, 41, true));
  EXPECT_EQ(label21AtPump, "851.01250MHz");
  EXPECT_EQ(tunesAtPump, 0u);
  ASSERT_EQ(world.receiver.tunes.size(), 1u);
  EXPECT_EQ(world.receiver.tunes[0].model, 6);
}

TEST_F(McAccessInterpreterTest, CallTimeLimitArmsTimer2) {
  state.TrackingOn = true;
  // No limit is known yet: the followed call leaves Timer2 stopped.
  Frame(Call(0x1A7, 41, true));
  EXPECT_EQ(interpreter.CallMinutes(), 0);
  EXPECT_EQ(state.Timer2.Interval(), 0);
  EXPECT_EQ(timer2.restarts, 0);
  BackOnControl();

  Frame(CallTime(0b110));
  EXPECT_EQ(state.Label28, "2 分");
  Frame(CallTime(0b011));  // unknown code keeps the limit and shows it again
  EXPECT_EQ(interpreter.CallMinutes(), 2);
  EXPECT_EQ(state.Label28, "2 分");

  Frame(Call(0x1A7, 41, true));
  EXPECT_EQ(state.Timer2.Interval(), 120000);
  EXPECT_EQ(timer2.restarts, 1);
  BackOnControl();

  // The same limit again leaves the running countdown alone.
  world.clock.now = 30000;
  Frame(Call(0x055, 42, false));
  EXPECT_EQ(timer2.restarts, 1);
  EXPECT_EQ(timer2.due, 120000);
  BackOnControl();

  Frame(CallTime(0b101));
  Frame(Call(0x055, 42, false));
  EXPECT_EQ(state.Timer2.Interval(), 180000);
  EXPECT_EQ(timer2.restarts, 2);
}

TEST_F(McAccessInterpreterTest, BroadcastIsFollowedWhateverTheFilters) {
  state.TrackingOn = false;
  state.CheckBox15.checked = true;
  Frame(CallTime(0b000));
  std::string label7AtPump;
  world.pump.onPump = [&] { label7AtPump = state.Label7; };
  Frame(Line(0x28, 0, false));
  EXPECT_EQ(label7AtPump, "一斉指令");
  ASSERT_EQ(world.receiver.tunes.size(), 1u);
  EXPECT_EQ(world.receiver.tunes[0].frequencyText, "850.00000");
  ASSERT_EQ(world.heardLines.added.size(), 1u);
  EXPECT_EQ(state.Label21, "850.00000MHz");
  EXPECT_EQ(state.Label7, "通話回線");
  EXPECT_FALSE(state.OnControlChannel);
  EXPECT_EQ(state.Timer2.Interval(), 60000);
}

struct MoveCase {
  const char* name;
  bool tracking;
  int channel;
  bool offset;
  bool moved;
};

TEST_F(McAccessInterpreterTest, ControlChannelMove) {
  const MoveCase cases[] = {
      {"tracking", true, 41, true, true},
      {"tracking off", false, 41, true, false},
      {"band edge", true, 0, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MainState s;
    testing::RecordingWorld w;
    McAccessInterpreter interp(s, w.services());
    s.ControlFrequencyText = "850.00625";
    s.McAccessChannelStep = 0.00625;
    s.TrackingOn = c.tracking;
    s.Timer2.SetInterval(60000);
    interp.InterpretMcAccessFrame(MakeMcAccessWord(Line(0x30, c.channel, c.offset)));
    EXPECT_EQ(s.McAccessChannelStep, 0.00625);
    EXPECT_TRUE(s.OnControlChannel);
    if (c.moved) {
      EXPECT_EQ(s.ControlFrequencyText, "851.01875");
      ASSERT_EQ(w.receiver.tunes.size(), 1u);
      EXPECT_EQ(w.receiver.tunes[0].frequencyText, "851.01875");
      EXPECT_EQ(s.Timer2.Interval(), 0);
    } else {
      EXPECT_EQ(s.ControlFrequencyText, "850.00625");
      EXPECT_TRUE(w.receiver.tunes.empty());
      EXPECT_EQ(s.Timer2.Interval(), 60000);
    }
  }
}

}  // namespace
}  // namespace tarvo
