// The window program stopped by a signal, as a logout or `kill` does: a portable copy of `tarvo`
// with an AR-5000 on a pseudo-terminal closes as its close button would, sends the receiver its
// closing command, writes every settings key and exits with status 0.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>

#include "support/leak_check.h"
#include "support/pseudo_terminal.h"
#include "support/sound_server.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using SectionKey = std::pair<std::string, std::string>;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every section and key of an INI text.
std::set<SectionKey> Keys(const std::string& text) {
  std::set<SectionKey> keys;
  std::string section;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > 1 && line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
    } else if (const std::size_t eq = line.find('='); eq != std::string::npos) {
      keys.insert({section, line.substr(0, eq)});
    }
    start = end + 1;
  }
  return keys;
}

// The child's wait status once it has ended, or after 30 s, having killed it, nothing.
std::optional<int> WaitForExit(pid_t child) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) return status;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  return std::nullopt;
}

class StopSignal : public ::testing::TestWithParam<int> {};

TEST_P(StopSignal, ClosesTheWindowAsItsCloseButtonDoes) {
  // The sound input must open: a failed one would hold start-up in its error box, and a signal
  // is acted on only once start-up has finished.
  testing::SoundServer server(11025);
  TARVO_NEED_SOUND_SERVER(server);
  const char* tools = std::getenv("TARVO_TEST_TOOLS");
  ASSERT_NE(tools, nullptr) << "TARVO_TEST_TOOLS names the build folder";

  // A portable copy: the program keeps tarvo.ini beside itself.
  testing::TempDir dir;
  const fs::path program = dir.path() / "tarvo";
  fs::copy_file(fs::path(tools) / "tarvo", program);
  fs::permissions(program, fs::perms::owner_all);
  std::ofstream(dir.path() / "tarvo.ini") << "[RS232C]\nComp=2\n[WAVE]\nOutLevel=200\n";
  // A missing list would hold start-up in its error box.
  std::ofstream(dir.path() / "freqlist.txt") << "850.00000MHz test\n";

  testing::PseudoTerminal receiver;
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // The copy has not the tests' list of the sound libraries' own once-only allocations.
  testing::LeakCheckOffForChildren noLeakCheck;
  const fs::path output = dir.path() / "output.txt";
  const pid_t child =
      testing::SpawnProgram({program.string(), "--port", receiver.SubordinatePath()}, output);
  ASSERT_GT(child, 0);
  // Up and running once the sound input has opened.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (ReadText(output).find("sound input latency") == std::string::npos &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (ReadText(output).find("sound input latency") == std::string::npos) {
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    FAIL() << "the sound input did not open\n" << ReadText(output);
  }

  ASSERT_EQ(kill(child, GetParam()), 0);
  const std::string sent = receiver.Read();  // until the program has closed the port
  const std::optional<int> ended = WaitForExit(child);
  ASSERT_TRUE(ended) << "still running after the signal\n" << ReadText(output);
  const int status = *ended;
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status) << "\n"
                                 << ReadText(output);
  EXPECT_EQ(WEXITSTATUS(status), 0) << ReadText(output);

  // The AR-5000's closing command: its audio opened at the operator's level.
  const std::string closing = "DA000\r\n";
  ASSERT_GE(sent.size(), closing.size()) << sent;
  EXPECT_EQ(sent.substr(sent.size() - closing.size()), closing) << sent;

  const std::set<SectionKey> every = {
      {"RS232C", "Comp"},    {"RS232C", "ICOM"},    {"RS232C", "Com"},      {"RS232C", "Rig"},
      {"RS232C", "RigPort"}, {"RS232C", "RigRate"}, {"WAVE", "InpDev"},     {"WAVE", "OutDev"},
      {"WAVE", "AudioOut"},  {"WAVE", "OutLevel"},  {"WAVE", "InputL"},     {"WAVE", "Decode"},
      {"WAVE", "DecInv"},    {"WAVE", "Demp"},      {"WAVE", "SampleRate"}, {"DSP", "InGain"},
      {"DSP", "SQL"},        {"DSP", "OutGain"},    {"DSP", "OutBPF"},      {"DSP", "OutBEF"},
      {"DSP", "Demod"},      {"Etc", "Freq"},       {"Etc", "Top"},         {"Etc", "Interval"},
      {"Form", "Top"},       {"Form", "Left"},
  };
  EXPECT_EQ(Keys(ReadText(dir.path() / "tarvo.ini")), every) << ReadText(dir.path() / "tarvo.ini");
}

INSTANTIATE_TEST_SUITE_P(EachStopSignal, StopSignal, ::testing::Values(SIGINT, SIGTERM, SIGHUP),
                         [](const auto& info) {
                           return std::string(info.param == SIGINT    ? "Interrupt"
                                              : info.param == SIGTERM ? "Terminate"
                                                                      : "Hangup");
                         });

}  // namespace
}  // namespace tarvo
