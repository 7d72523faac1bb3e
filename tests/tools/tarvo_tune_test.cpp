#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "support/pseudo_terminal.h"
#include "support/rig_daemon.h"
#include "support/temp_dir.h"
#include "support/tool_run.h"
#if TARVO_HAVE_HAMLIB
#include "platform/hamlib_rig.h"
#endif

namespace tarvo::testing {
namespace {

ToolResult RunTune(const TempDir& dir, const std::string& args) {
  return RunTool(dir, "tarvo-tune", args);
}

// A text command as the tool prints it: "RF" -> "52 46".
std::string Hex(const std::string& text) {
  std::string line;
  char byte[4];
  for (const char c : text) {
    std::snprintf(byte, sizeof byte, "%02X", static_cast<unsigned char>(c));
    if (!line.empty()) line += ' ';
    line += byte;
  }
  return line;
}

TEST(TarvoTune, PrintsWhatTrackingStartAndExitSend) {
  struct Case {
    const char* args;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      // No preparation; exit leaves the receiver at the given volume (0 mutes).
      {"--model AR-5000 850.0125",
       {Hex("RF850.01250\r\n"), Hex("MD0\r\n"), Hex("BW2\r\n"), Hex("DA255\r\n")}},
      {"--model AR-5000 --volume 1 850.0125",
       {Hex("RF850.01250\r\n"), Hex("MD0\r\n"), Hex("BW2\r\n"), Hex("DA000\r\n")}},
      {"--model 'ICOM(CIV)' --address E0 --volume 80 850.0125",
       {"FE FE E0 E0 05 00 25 01 50 08 FD", "FE FE E0 E0 06 05 02 FD",
        "FE FE E0 E0 14 01 00 80 FD"}},
      {"--model DJ-X11 851", {Hex("AL~FW00851000000\r\n")}},
  };
  TempDir dir;
  for (const Case& c : cases) {
    const ToolResult r = RunTune(dir, std::string("--print ") + c.args);
    EXPECT_EQ(r.status, 0) << c.args;
    EXPECT_EQ(r.out, c.expected) << c.args;
    EXPECT_TRUE(r.err.empty()) << c.args;
  }
}

TEST(TarvoTune, PcrSwitchesRateAfterItsStartAndReleasesLast) {
  TempDir dir;
  for (const char* model : {"'ICOM(PCR)'", "IC-PCR100 --volume 80"}) {
    const ToolResult r = RunTune(dir, std::string("--print --model ") + model + " 851.0125");
    ASSERT_EQ(r.status, 0) << model;
    const auto rate = std::find(r.out.begin(), r.out.end(), "# rate 38400");
    ASSERT_NE(rate, r.out.end()) << model;
    EXPECT_EQ(r.out.front(), Hex(" \r\n"));
    EXPECT_EQ(r.out.back(), Hex("H100\r\n"));
  }
  // "IC-PCR100" gets its volume after the preparation and again before the release.
  const ToolResult r = RunTune(dir, "--print --model IC-PCR100 --volume 80 851.0125");
  ASSERT_GE(r.out.size(), 3u);
  EXPECT_EQ(r.out[r.out.size() - 2], Hex("J4050\r\n"));
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), Hex("J4050\r\n")), 2);
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), Hex("K00851012500050100\r\n")), 2);
}

// The bytes on the line are the printed ones, and the port is closed at the end (the read ends when
// nobody holds the subordinate side any more).
TEST(TarvoTune, SendsThePrintedBytesThroughTheSerialLine) {
  TempDir dir;
  PseudoTerminal line;
  const ToolResult r =
      RunTune(dir, "--model 'YAESU(CAT)' --port '" + line.SubordinatePath() + "' 850.0125");
  ASSERT_EQ(r.status, 0) << (r.err.empty() ? "" : r.err.front());
  std::string received;
  for (const char c : line.Read()) received += Hex(std::string(1, c)) + " ";
  std::string expected;
  for (const std::string& command : r.out) expected += command + " ";
  EXPECT_EQ(received, expected);
  EXPECT_GE(r.out.size(), 2u);  // preparation and tune
}

TEST(TarvoTune, ProblemsAreOneLineOnStandardErrorAndStatusTwo) {
  struct Case {
    const char* args;
    const char* named;  // what the message must name
  };
  const Case cases[] = {
      {"--print --model ICOM 850", "ICOM"},
      {"--print --model 'ICOM(CIV)' 2000", "2000.00000"},
      {"--print --model AR-5000 abc", "abc"},
      {"--print --model AR-5000 -5", "-5"},
      {"--print --model AR-5000 0.000001", "0.000001"},  // rounds to 0.00000 MHz
      {"--print --model AR-5000 1e-300", "1e-300"},
      {"--port /nonexistent/ttyUSB9 --model AR-5000 850", "/nonexistent/ttyUSB9"},
      {"--print --port /dev/null --model AR-5000 850", "--print"},
      {"--print --model AR-5000 --volume 256 850", "--volume"},
      {"--print --model AR-5000", "frequency"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    const ToolResult r = RunTune(dir, c.args);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_TRUE(r.out.empty()) << c.args;
    const std::string problem = r.err.empty() ? "" : r.err.back();
    EXPECT_NE(problem.find(c.named), std::string::npos) << c.args << ": " << problem;
  }
}

TEST(TarvoTune, HamlibPrintsTheRigTheTuneAndTheExitVolume) {
  struct Case {
    const char* args;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
    {"--print --model Hamlib 851.0125",
     {"# hamlib 2 localhost:4532", "F 851012500", "L AF 0.000000"}},
    {"--print --model Hamlib --rig 3073 --rate 19200 --volume 51 850",
     {"# hamlib 3073 localhost:4532 19200", "F 850000000", "L AF 0.200000"}},
#if TARVO_HAVE_HAMLIB
    // hamlib's dummy rig, opened for real.
    {"--model Hamlib --rig 1 --port /dev/null --volume 255 851.0125",
     {"# hamlib 1 /dev/null", "F 851012500", "L AF 1.000000"}},
#endif
  };
  TempDir dir;
  for (const Case& c : cases) {
    const ToolResult r = RunTune(dir, c.args);
    EXPECT_EQ(r.status, 0) << c.args << ": " << (r.err.empty() ? "" : r.err.back());
    EXPECT_EQ(r.out, c.expected) << c.args;
  }
}

TEST(TarvoTune, HamlibTunesRigctldOverTheNetwork) {
#if TARVO_HAVE_HAMLIB
  RigDaemon daemon;
  TARVO_NEED_RIG_DAEMON(daemon);
  TempDir dir;
  const ToolResult r =
      RunTune(dir, "--model Hamlib --rig 2 --port " + daemon.Address() + " --volume 51 852.5");
  ASSERT_EQ(r.status, 0) << (r.err.empty() ? "" : r.err.back());
  EXPECT_EQ(r.out, (std::vector<std::string>{"# hamlib 2 " + daemon.Address(), "F 852500000",
                                             "L AF 0.200000"}));
  HamlibRig reader;
  ASSERT_TRUE(reader.Open({2, daemon.Address(), 0})) << reader.LastError();
  freq_t hertz = 0;
  ASSERT_EQ(rig_get_freq(reader.Handle(), RIG_VFO_CURR, &hertz), RIG_OK);
  EXPECT_EQ(hertz, 852500000.0);
#else
  GTEST_SKIP() << "built without hamlib";
#endif
}

TEST(TarvoTune, HamlibProblemsAreOneLineOnStandardErrorAndStatusTwo) {
  struct Case {
    const char* args;
    const char* named;
    bool afterUsage;  // an argument problem follows the usage lines
  };
  const Case cases[] = {
    {"--print --model Hamlib --rig abc 850", "--rig", true},
    {"--print --model Hamlib --rate -1 850", "--rate", true},
    {"--model Hamlib 850", "--port", true},
#if TARVO_HAVE_HAMLIB
    {"--model Hamlib --port localhost:1 850", "localhost:1", false},  // nobody listens there
    {"--model Hamlib --rig 999999 --port /dev/null 850", "999999", false},
#endif
  };
  TempDir dir;
  for (const Case& c : cases) {
    const ToolResult r = RunTune(dir, c.args);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_TRUE(r.out.empty()) << c.args;
    ASSERT_FALSE(r.err.empty()) << c.args;
    if (!c.afterUsage) {
      EXPECT_EQ(r.err.size(), 1u) << c.args;
    }
    EXPECT_NE(r.err.back().find(c.named), std::string::npos) << c.args << ": " << r.err.back();
  }
}

}  // namespace
}  // namespace tarvo::testing
