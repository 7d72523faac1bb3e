// tarvo-track's command line: what each option sets, and one clear problem for each bad line.
#include "core/app/track_options.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tarvo {
namespace {

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

TEST(TrackOptionsTest, GoodLinesOverrideTheSettingsTheyName) {
  TrackOptions o;
  ASSERT_EQ(ParseTrackOptions(Words("--decoder jsmr --demod robust --invert --channel right "
                                    "--control 851.0125 --model AR-5000 --port /dev/ttyUSB0 "
                                    "--address e0 --rate 44100 --only 1a7,0c4 --pass 42 "
                                    "--log calls.jsonl --mqtt broker:1884 --topic tarvo/site1 "
                                    "--seconds 2.5 --no-tracking"),
                              o),
            "");
  MainState s;
  s.Edit5.text = "4A";
  ApplyTrackOptions(o, s);
  EXPECT_EQ(s.Decoder, DecoderType::kJsmr);
  EXPECT_EQ(s.Demod, Demodulation::kRobust);
  EXPECT_TRUE(s.CheckBox3.checked);
  EXPECT_FALSE(s.LeftChannel);
  EXPECT_EQ(s.ControlFrequencyText, "851.01250");
  EXPECT_EQ(s.RadioModel, 2);
  EXPECT_EQ(s.Edit5.text, "e0");
  EXPECT_EQ(s.SampleRateIndex, 2);
  EXPECT_EQ(o.port, "/dev/ttyUSB0");
  EXPECT_EQ(o.only, (std::vector<std::string>{"1A7", "0C4"}));
  EXPECT_EQ(o.pass, std::vector<std::string>{"42"});
  EXPECT_EQ(o.log, "calls.jsonl");
  EXPECT_EQ(o.mqttHost, "broker");
  EXPECT_EQ(o.mqttPort, 1884);
  EXPECT_EQ(o.topic, "tarvo/site1");
  EXPECT_EQ(o.seconds, 2.5);
  EXPECT_FALSE(o.tracking);
}

TEST(TrackOptionsTest, NothingGivenLeavesTheSettingsFileAlone) {
  TrackOptions o;
  ASSERT_EQ(ParseTrackOptions({}, o), "");
  MainState s;
  s.Decoder = DecoderType::kJsmr;
  s.RadioModel = 5;
  s.ControlFrequencyText = "852.00000";
  ApplyTrackOptions(o, s);
  EXPECT_EQ(s.Decoder, DecoderType::kJsmr);
  EXPECT_EQ(s.RadioModel, 5);
  EXPECT_EQ(s.ControlFrequencyText, "852.00000");
  EXPECT_TRUE(o.tracking);
  EXPECT_EQ(o.mqttPort, 1883);
}

TEST(TrackOptionsTest, BadLinesNameTheirProblem) {
  struct Case {
    const char* line;
    const char* problem;
  };
  const Case cases[] = {
      {"--frobnicate", "unknown option '--frobnicate'"},
      {"--model", "--model needs a value"},
      {"--model AR-9999", "unknown receiver model 'AR-9999'"},
      {"--decoder p25", "--decoder takes mcaccess or jsmr, not 'p25'"},
      {"--demod fast", "--demod takes exact or robust, not 'fast'"},
      {"--channel both", "--channel takes left or right, not 'both'"},
      {"--control 851,0125", "--control takes a frequency in MHz, not '851,0125'"},
      {"--control 8510125", "--control takes a frequency in MHz, not '8510125'"},
      {"--rate 48000", "--rate takes 11025, 22050 or 44100, not '48000'"},
      {"--address 4A4", "--address takes one hex byte, not '4A4'"},
      {"--only 1A7,0C4,155,3E8", "--only takes at most three IDs"},
      {"--only 1A7,,0C4", "--only takes hex IDs separated by commas, not '1A7,,0C4'"},
      {"--pass ZZ", "--pass takes hex IDs separated by commas, not 'ZZ'"},
      {"--mqtt :1883", "--mqtt takes HOST[:PORT], not ':1883'"},
      {"--mqtt host:99999", "--mqtt takes HOST[:PORT], not 'host:99999'"},
      {"--topic tarvo/#", "--topic takes a topic prefix without wildcards, not 'tarvo/#'"},
      {"--seconds -1", "--seconds takes a number of seconds, not '-1'"},
      {"--seconds soon", "--seconds takes a number of seconds, not 'soon'"},
      {"--log a.jsonl --no-log", "--log and --no-log exclude each other"},
  };
  for (const Case& c : cases) {
    TrackOptions o;
    EXPECT_EQ(ParseTrackOptions(Words(c.line), o), c.problem) << c.line;
  }
}

}  // namespace
}  // namespace tarvo
