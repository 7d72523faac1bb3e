// The call log on disk and the history window's model over it.
#include "core/app/call_log.h"

#include <gtest/gtest.h>

#include <sstream>

#include "core/app/call_history.h"
#include "core/app/operator_handlers.h"
#include "core/base/tracking_event_json.h"
#include "support/file_bytes.h"
#include "support/recorders.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

using testing::ReadBytes;
using testing::RecordingNotice;
using testing::TempDir;

TrackingEvent Call(const std::string& id, const std::string& line, const char* action) {
  TrackingEvent e;
  e.time = "2026-12-11T10:00:00.000+00:00";
  e.event = "call";
  e.decoder = "mcaccess";
  e.id = id;
  e.line = line;
  e.action = action;
  return e;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(CallLogTest, AppendsOneJsonLinePerEventAcrossRuns) {
  TempDir dir;
  const auto path = dir.path() / kCallLogName;
  RecordingNotice notice;
  {
    CallLog log(path, &notice);
    log.OnTrackingEvent(Call("1A7", "851.01250", "follow"));
    // Written and flushed at once: a crash now loses nothing.
    EXPECT_EQ(Lines(ReadBytes(path)).size(), 1u);
  }
  {
    CallLog log(path, &notice);  // a restart appends
    log.OnTrackingEvent(Call("0FF", "851.02500", "skip"));
    log.OnTrackingEvent(Call("0C4", "851.03750", "follow"));
  }
  const auto lines = Lines(ReadBytes(path));
  ASSERT_EQ(lines.size(), 3u);
  const char* ids[] = {"1A7", "0FF", "0C4"};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto event = ParseEventJson(lines[i]);
    ASSERT_TRUE(event) << lines[i];
    EXPECT_EQ(event->id, ids[i]);
  }
  EXPECT_TRUE(notice.errors.empty());
}

TEST(CallLogTest, AFileThatCannotBeWrittenIsReportedOnceAndTrackingGoesOn) {
  TempDir dir;
  testing::WriteBytes(dir.path() / "a file", "");
  const std::filesystem::path cases[] = {
      dir.path() / "a file" / kCallLogName,  // its folder cannot be made
      "/dev/full",                                   // opens, but every write fails
  };
  for (const auto& path : cases) {
    SCOPED_TRACE(path.string());
    RecordingNotice notice;
    CallLog log(path, &notice);
    for (int n = 0; n < 5; ++n) log.OnTrackingEvent(Call("1A7", "851.01250", "follow"));
    ASSERT_EQ(notice.errors.size(), 1u);
    EXPECT_NE(notice.errors[0].find(path.string()), std::string::npos);
    EXPECT_EQ(notice.beeps, 1);
  }
}

TEST(CallLogTest, TailReadsTheNewestEventsAndPassesOverDamagedLines) {
  TempDir dir;
  const auto path = dir.path() / kCallLogName;
  std::string text;
  for (int n = 0; n < 30000; ++n) {
    text += FormatEventJson(Call(std::to_string(n), "851.01250", "follow")) + "\n";
    if (n % 1000 == 0) text += "{damaged\n";
  }
  text += R"({"event":"call","id":"last")";  // cut off by a crash mid-line
  testing::WriteBytes(path, text);
  const auto tail = ReadCallLogTail(path, 10000);
  ASSERT_EQ(tail.size(), 10000u);
  EXPECT_EQ(tail.front().id, "20000");
  EXPECT_EQ(tail.back().id, "29999");
  EXPECT_TRUE(ReadCallLogTail(dir.path() / "missing", 10).empty());
}

struct CallHistoryTest : ::testing::Test {
  MainState state;
  testing::RecordingWorld world;
  OperatorHandlers handlers{state, world.services()};
  CallHistory history{state, handlers, world.health};
};

TEST_F(CallHistoryTest, LoadsTheLogOnOpeningThenAddsLiveEventsNewestFirst) {
  TempDir dir;
  const auto path = dir.path() / kCallLogName;
  {
    CallLog log(path, nullptr);
    log.OnTrackingEvent(Call("1A7", "851.01250", "follow"));
    TrackingEvent health;
    health.event = "health";
    health.frames = 40;
    health.rejected = 2;
    log.OnTrackingEvent(health);
  }
  history.OnTrackingEvent(Call("000", "850.00000", "skip"));  // before opening: not kept
  history.Open(path);
  history.OnTrackingEvent(Call("0FF", "851.02500", "skip"));
  ASSERT_EQ(history.Rows().size(), 2u);  // health reports go to the header, not the table
  EXPECT_EQ(history.Rows()[0].id, "0FF");
  EXPECT_EQ(history.Rows()[1].id, "1A7");
  // One report of 10 s: 40 frames and 2 rejects are 240 and 12 a minute.
  EXPECT_NE(history.HealthText().find("240/分"), std::string::npos) << history.HealthText();
  EXPECT_NE(history.HealthText().find("12/分"), std::string::npos);
}

TEST_F(CallHistoryTest, FilterMatchesPartOfTheIdOrTheLine) {
  const TrackingEvent call = Call("1A7", "851.01250", "follow");
  EXPECT_TRUE(CallHistory::Matches(call, ""));
  EXPECT_TRUE(CallHistory::Matches(call, "1A"));
  EXPECT_TRUE(CallHistory::Matches(call, "851.012"));
  EXPECT_FALSE(CallHistory::Matches(call, "0FF"));
}

TEST_F(CallHistoryTest, SilenceWhileTrackingWarnsAfterThirtySeconds) {
  state.TrackingOn = true;
  const int blocks =
      static_cast<int>(CallHistory::kSilenceWarningSeconds / DecodeHealth::kBlockSeconds);
  for (int n = 0; n < blocks; ++n) world.health.BlockDone(state);
  EXPECT_EQ(history.WarningText(), "");
  world.health.BlockDone(state);
  EXPECT_NE(history.WarningText(), "");
  state.TrackingOn = false;
  EXPECT_EQ(history.WarningText(), "");
}

TEST_F(CallHistoryTest, ACallersIdGoesToThePassListOrTheFirstFreeIdFieldThroughTheHandlers) {
  EXPECT_TRUE(history.PutIntoFreeIdField("1A7"));
  EXPECT_TRUE(history.PutIntoFreeIdField("0FF"));
  EXPECT_FALSE(history.PutIntoFreeIdField("0C4"));  // both taken
  EXPECT_EQ(state.Edit3.text, "1A7");
  EXPECT_EQ(state.Edit4.text, "0FF");
  EXPECT_TRUE(history.AddToPassList("0C4"));
  EXPECT_EQ(state.IdPassList, std::vector<std::string>{"0C4"});
  EXPECT_EQ(state.ComboBox4.text, "0C4");

  handlers.CheckBox15Click(true);  // ID-specific reception locks the ID controls
  EXPECT_FALSE(history.AddToPassList("055"));
  EXPECT_FALSE(history.PutIntoFreeIdField("055"));
  EXPECT_EQ(state.IdPassList.size(), 1u);
}

}  // namespace
}  // namespace tarvo
