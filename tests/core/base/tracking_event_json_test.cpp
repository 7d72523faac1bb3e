// Events as JSON lines: what the call log, standard output and the broker carry, and reading
// the log back for the history window.
#include "core/base/tracking_event_json.h"

#include <gtest/gtest.h>

#include <limits>

namespace tarvo {
namespace {

TEST(TrackingEventJsonTest, CallLineHasItsFieldsInOrderAndLeavesOutWhatIsUnset) {
  TrackingEvent e;
  e.time = "2026-12-11T15:23:49.123+09:00";
  e.event = "call";
  e.decoder = "mcaccess";
  e.station = "2F";
  e.id = "1A7";
  e.line = "851.01250";
  e.lineType = "VOICE";
  e.action = "skip";
  e.reason = "id-passed";
  EXPECT_EQ(FormatEventJson(e),
            R"({"time":"2026-12-11T15:23:49.123+09:00","event":"call","decoder":"mcaccess",)"
            R"("station":"2F","id":"1A7","line":"851.01250","linetype":"VOICE","action":"skip",)"
            R"("reason":"id-passed"})");
}

TEST(TrackingEventJsonTest, NumbersAreWrittenWithOneDecimalWhateverTheLocale) {
  TrackingEvent e;
  e.event = "return";
  e.seconds = 12.349;
  e.tuned = false;
  e.channel = 17;
  e.silent = 0.04;
  EXPECT_EQ(FormatEventJson(e),
            R"({"event":"return","channel":17,"seconds":12.3,"tuned":false,"silent":0.0})");
}

TEST(TrackingEventJsonTest, EveryFieldSurvivesTheRoundTripIncludingAwkwardText) {
  TrackingEvent e;
  e.time = "t";
  e.event = "receiver";
  e.decoder = "jsmr";
  e.station = "2A";
  e.id = "quote\" back\\slash\ttab\x01";
  e.line = "850.42500";
  e.lineType = "DIGIT";
  e.channel = 719;
  e.action = "follow";
  e.reason = "控え";
  e.to = "850.01250";
  e.seconds = 3.5;
  e.tuned = true;
  e.frames = 42;
  e.rejected = 3;
  e.silent = 31.5;
  e.state = "lost";
  e.device = "/dev/ttyUSB0";
  const auto back = ParseEventJson(FormatEventJson(e));
  ASSERT_TRUE(back);
  EXPECT_EQ(FormatEventJson(*back), FormatEventJson(e));
  EXPECT_EQ(back->id, e.id);
  EXPECT_EQ(back->reason, "控え");
}

TEST(TrackingEventJsonTest, ReadsWhatOthersMayWriteAndRefusesWhatIsNoEvent) {
  const auto spaced = ParseEventJson(
      R"( { "event" : "call", "extra": [1], "id":"\u0041\ud83d\ude00", "seconds": 1e1 } )");
  EXPECT_FALSE(spaced) << "arrays are not part of a flat event";
  const auto plain =
      ParseEventJson(R"({"event":"call","extra":null,"id":"\u0041\ud83d\ude00","seconds":1e1})");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->id, "A\xF0\x9F\x98\x80");
  EXPECT_EQ(plain->seconds, 10.0);

  const char* refused[] = {
      "",
      "not json",
      "{}",                                  // no event
      R"({"event":"call")",                  // unterminated
      R"({"event":"call"} trailing)",        // text after the object
      R"({"event":call})",                   // bare word is no string
      R"({"event":"call","id":"\x"})",       // unknown escape
      R"({"event":"call","id":"\u12"})",     // short escape
      R"({"event":"call","id":"unclosed})",  // unterminated string
      R"({"event":"call",})",                // dangling comma
  };
  for (const char* line : refused) EXPECT_FALSE(ParseEventJson(line)) << line;
}

// Found by fuzzing: a damaged log's huge number must neither overflow nor come back different.
TEST(TrackingEventJsonTest, NumbersNoTimeCanHaveAreLeftOut) {
  const auto damaged = ParseEventJson(R"({"event":"health","silent":-9.3e18,"seconds":1e400})");
  ASSERT_TRUE(damaged);
  EXPECT_EQ(FormatEventJson(*damaged), R"({"event":"health"})");
  TrackingEvent e;
  e.event = "return";
  e.seconds = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(FormatEventJson(e), R"({"event":"return"})");
}

}  // namespace
}  // namespace tarvo
