// tarvo-track end to end: its command line, the demo system followed headless, a closed loop over
// a real sound server and a pseudo-terminal receiver ended by SIGTERM, and its events on a real
// MQTT broker that goes away and comes back.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/base/main_state.h"
#include "core/base/tracking_event_json.h"
#include "core/radio/command_builders.h"
#include "core/sim/mcaccess_modulator.h"
#include "core/sim/mcaccess_words.h"
#include "support/leak_check.h"
#include "support/pseudo_terminal.h"
#include "support/sound_server.h"
#include "support/tool_run.h"

namespace tarvo {
namespace {

using testing::PseudoTerminal;
using testing::RunTool;
using testing::TempDir;
using testing::ToolResult;

std::string Tool(const std::string& name) {
  const char* tools = std::getenv("TARVO_TEST_TOOLS");
  return std::string(tools != nullptr ? tools : ".") + "/" + name;
}

std::vector<TrackingEvent> EventsIn(const std::vector<std::string>& lines) {
  std::vector<TrackingEvent> events;
  for (const std::string& line : lines) {
    if (auto event = ParseEventJson(line)) events.push_back(*event);
  }
  return events;
}

std::vector<std::string> LinesOf(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// "call follow", "call skip id-passed", "return signal-lost"...
std::vector<std::string> Decisions(const std::vector<TrackingEvent>& events) {
  std::vector<std::string> found;
  for (const TrackingEvent& e : events) {
    if (e.event == "health") continue;
    std::string text = e.event;
    if (!e.action.empty()) text += " " + e.action;
    if (!e.reason.empty()) text += " " + e.reason;
    found.push_back(text);
  }
  return found;
}

bool Has(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

// Waits for a child, killing it after the bound so that a hang fails instead of blocking.
int WaitFor(pid_t child, std::chrono::seconds bound) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  int status = 0;
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      return -2;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(TarvoTrack, CommandLineProblemsAreOneLineAndStatusTwo) {
  struct Case {
    const char* args;
    const char* message;
    bool opensSound = false;
  };
  const Case cases[] = {
      {"--frobnicate", "tarvo-track: unknown option '--frobnicate' (see tarvo-track --help)"},
      {"--model AR-9999", "tarvo-track: unknown receiver model 'AR-9999' (see tarvo-track --help)"},
      {"--rate 8000",
       "tarvo-track: --rate takes 11025, 22050 or 44100, not '8000' (see tarvo-track --help)"},
      // The sound libraries' own complaints while PortAudio looks for devices stay out of it.
      {"--no-log --device no-such-card",
       "tarvo-track: no capture device's name contains 'no-such-card'", true},
  };
  for (const Case& c : cases) {
    std::optional<testing::LeakCheckOffForChildren> noLeakCheck;
    if (c.opensSound) noLeakCheck.emplace();
    TempDir dir;
    const ToolResult r = RunTool(dir, "tarvo-track", c.args);
    EXPECT_EQ(r.status, 2) << c.args;
    ASSERT_EQ(r.err.size(), 1u) << c.args;
    EXPECT_EQ(r.err[0], c.message);
    EXPECT_TRUE(r.out.empty());
  }
  TempDir dir;
  const ToolResult help = RunTool(dir, "tarvo-track", "--help");
  EXPECT_EQ(help.status, 0);
  ASSERT_FALSE(help.out.empty());
  EXPECT_EQ(help.out[0], "usage: tarvo-track [options]");
}

// The demo in real time: follows and returns for each decoder, and skips as the filters say.
TEST(TarvoTrack, DemoIsFollowedWithTheFiltersDecidingWhichCallsForBothDecoders) {
  struct Case {
    const char* args;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"--pass 1A7,0C4",
       {"call follow", "return signal-lost", "call skip id-passed", "call skip data-line"}},
      {"--decoder jsmr --only 42,17",
       {"call follow", "return tone-ended", "call skip id-not-selected"}},
  };
  // Both run at once: each is half a minute of real time.
  std::vector<std::unique_ptr<TempDir>> dirs;
  std::vector<pid_t> runs;
  for (const Case& c : cases) {
    dirs.push_back(std::make_unique<TempDir>());
    const std::string command = Tool("tarvo-track") + " --demo --seconds 30 " + c.args;
    std::vector<std::string> argv = {"sh", "-c",
                                     command + " >" + (dirs.back()->path() / "out").string() +
                                         " 2>" + (dirs.back()->path() / "err").string()};
    runs.push_back(testing::SpawnProgram(argv));
  }
  for (std::size_t i = 0; i < runs.size(); ++i) {
    SCOPED_TRACE(cases[i].args);
    EXPECT_EQ(WaitFor(runs[i], std::chrono::seconds(90)), 0);
    const auto events = EventsIn(LinesOf(dirs[i]->path() / "out"));
    const auto decisions = Decisions(events);
    for (const std::string& wanted : cases[i].expected) {
      EXPECT_TRUE(Has(decisions, wanted)) << wanted;
    }
    for (const TrackingEvent& e : events) {
      if (e.event != "call") continue;
      if (i == 0 && (e.id == "1A7" || e.id == "0C4")) {
        EXPECT_EQ(e.action, "skip") << e.id;
      }
      if (i == 1 && e.action == "follow") {
        EXPECT_TRUE(e.id == "42" || e.id == "17") << e.id;
      }
    }
    // The demo keeps to its own folder: no call log was asked for, none appears here.
    EXPECT_FALSE(std::filesystem::exists(dirs[i]->path() / "tarvo-calls.jsonl"));
  }
}

// hamlib and what it pulls in cost about 4 MB; a tracker for another model never loads them.
TEST(TarvoTrack, HamlibIsNotLoadedForOtherModels) {
  TempDir dir;
  const pid_t run = testing::SpawnProgram({Tool("tarvo-track"), "--demo", "--seconds", "4"},
                                          (dir.path() / "out").string());
  std::this_thread::sleep_for(std::chrono::seconds(2));
  std::ifstream maps("/proc/" + std::to_string(run) + "/maps");
  std::string mapped((std::istreambuf_iterator<char>(maps)), std::istreambuf_iterator<char>());
  EXPECT_EQ(WaitFor(run, std::chrono::seconds(30)), 0);
  EXPECT_NE(mapped.find("tarvo-track"), std::string::npos);
  EXPECT_EQ(mapped.find("libhamlib"), std::string::npos);
}

// A port on the loopback interface nobody listens on now.
int FreePort() {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  close(s);
  return ntohs(address.sin_port);
}

bool OnPath(const std::string& program) {
  return testing::RunProgram({"sh", "-c", "command -v " + program + " >/dev/null"}) == 0;
}

// A private broker on a free loopback port, its configuration and log in a temporary folder.
class Broker {
 public:
  Broker() : port_(FreePort()) {
    std::ofstream(dir_.path() / "mosquitto.conf")
        << "listener " << port_ << " 127.0.0.1\nallow_anonymous true\npersistence false\n";
  }
  ~Broker() { Stop(); }
  void Start() {
    pid_ = testing::SpawnProgram({"mosquitto", "-c", (dir_.path() / "mosquitto.conf").string()},
                                 (dir_.path() / "broker.log").string());
    // Ready once a client can connect.
    for (int i = 0; i < 100; ++i) {
      if (testing::RunProgram({"mosquitto_pub", "-h", "127.0.0.1", "-p", std::to_string(port_),
                               "-t", "probe", "-m", "x"}) == 0) {
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  int Port() const { return port_; }

 private:
  TempDir dir_;
  int port_;
  pid_t pid_ = -1;
};

TEST(TarvoTrack, PublishesEventsAndItsStatusAndOutlivesTheBroker) {
  if (!OnPath("mosquitto") || !OnPath("mosquitto_sub")) {
    if (testing::RealSoundRequired()) FAIL() << "mosquitto is not installed";
    GTEST_SKIP() << "mosquitto is not installed";
  }
  TempDir dir;
  Broker broker;
  broker.Start();
  const std::string port = std::to_string(broker.Port());
  const auto before = dir.path() / "before.txt";
  const auto after = dir.path() / "after.txt";
  const pid_t firstListener = testing::SpawnProgram(
      {"mosquitto_sub", "-h", "127.0.0.1", "-p", port, "-t", "test/t1/#", "-v"}, before.string());
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const pid_t tracker = testing::SpawnProgram({Tool("tarvo-track"), "--demo", "--seconds", "24",
                                               "--mqtt", "127.0.0.1:" + port, "--topic", "test/t1"},
                                              (dir.path() / "tracker.txt").string());
  // Two health reports go out, then the broker goes away for a while and comes back.
  std::this_thread::sleep_for(std::chrono::seconds(11));
  kill(firstListener, SIGTERM);
  waitpid(firstListener, nullptr, 0);
  broker.Stop();
  std::this_thread::sleep_for(std::chrono::seconds(2));
  broker.Start();
  const pid_t secondListener = testing::SpawnProgram(
      {"mosquitto_sub", "-h", "127.0.0.1", "-p", port, "-t", "test/t1/#", "-v"}, after.string());
  EXPECT_EQ(WaitFor(tracker, std::chrono::seconds(60)), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  kill(secondListener, SIGTERM);
  waitpid(secondListener, nullptr, 0);

  const auto first = LinesOf(before);
  ASSERT_FALSE(first.empty());
  EXPECT_TRUE(Has(first, "test/t1/status online"));
  int events = 0;
  for (const std::string& line : first) {
    const std::string prefix = "test/t1/events ";
    if (line.rfind(prefix, 0) == 0 && ParseEventJson(line.substr(prefix.size()))) ++events;
  }
  EXPECT_GE(events, 1);  // at least the first health report
  // After the outage: the tracker reconnected by itself, said so, and went on publishing.
  const auto second = LinesOf(after);
  EXPECT_TRUE(Has(second, "test/t1/status online"));
  EXPECT_TRUE(Has(second, "test/t1/status offline"));  // its goodbye at the end
  int later = 0;
  for (const std::string& line : second) later += line.rfind("test/t1/events ", 0) == 0;
  EXPECT_GE(later, 1);
  int told = 0;
  for (const std::string& line : LinesOf(dir.path() / "tracker.txt")) {
    told += line.find("MQTT broker 127.0.0.1:" + port + " lost") != std::string::npos;
  }
  EXPECT_EQ(told, 1);
}

// Control-channel audio into a private sound server, a pseudo-terminal AR-5000: the tracker
// follows the call, the test plays the call's line with its tone while the receiver is there, and
// SIGTERM ends it with the receiver's volume and release on the line.
TEST(TarvoTrack, FollowsACallOverRealSoundAndReleasesTheReceiverOnSigterm) {
  testing::SoundServer server(11025);
  TARVO_NEED_SOUND_SERVER(server);
  TempDir dir;
  PseudoTerminal receiver;
  const auto settings = dir.path() / "tarvo.ini";
  std::ofstream(settings) << "[WAVE]\nOutLevel=80\n[Etc]\nFreq=850.00000\nInterval=0\n";
  const auto log = dir.path() / "calls.jsonl";
  const auto output = dir.path() / "tracker.txt";
  std::optional<testing::LeakCheckOffForChildren> noLeakCheck(std::in_place);
  const pid_t tracker = testing::SpawnProgram(
      {Tool("tarvo-track"), "--config", settings.string(), "--model", "AR-5000", "--port",
       receiver.SubordinatePath(), "--log", log.string()},
      output.string());

  MainState state;
  state.TrackBar2.position = 80;
  const auto bytes = [&](const CommandList& commands) {
    std::string all;
    for (const SerialCommand& c : commands) all += c.data;
    return all;
  };
  const int model = 2;
  const std::string toControl = bytes(BuildTune(state, model, "850.00000"));
  const std::string toLine = bytes(BuildTune(state, model, "851.01250"));
  const std::string start = bytes(BuildPrepare(state, model)) + toControl;
  EXPECT_EQ(receiver.Read(start.size()), start);  // tracking is on from the start

  // The control channel announces a call on 851.01250 MHz.
  sim::ModulatorOptions options;
  std::vector<std::int16_t> control;
  sim::McAccessModulator air(options);
  sim::McAccessWordFields callTime;
  callTime.type = 0x00;
  callTime.callTimeCode = 0b101;
  sim::McAccessWordFields call;
  call.type = 0x20;
  call.id = 0x1A7;
  call.channel = 41;
  call.offset = true;
  air.QueueIdle(240);
  air.QueueFrame(sim::MakeMcAccessWord(callTime));
  air.QueueIdle(40);
  air.QueueFrame(sim::MakeMcAccessWord(call));
  air.QueueIdle(240);
  air.Emit(air.FramesUntilQueueSent(), control);
  const auto controlRaw = dir.path() / "control.raw";
  testing::WriteRaw(controlRaw, control);
  ASSERT_TRUE(server.Play(controlRaw, 11025));
  EXPECT_EQ(receiver.Read(toLine.size()), toLine);

  // On the line: two seconds of call with its 168 Hz tone, then nothing until the watchdog.
  std::vector<std::int16_t> line(2 * 2 * 11025);
  for (std::size_t n = 0; n < line.size() / 2; ++n) {
    const auto v =
        static_cast<std::int16_t>(1000.0 * std::sin(2 * 3.14159265358979 * 168.0 * n / 11025));
    line[2 * n] = line[2 * n + 1] = v;
  }
  const auto lineRaw = dir.path() / "line.raw";
  testing::WriteRaw(lineRaw, line);
  ASSERT_TRUE(server.Play(lineRaw, 11025));
  EXPECT_EQ(receiver.Read(toControl.size()), toControl);

  kill(tracker, SIGTERM);
  const int status = WaitFor(tracker, std::chrono::seconds(20));
  EXPECT_EQ(status, 0);
  if (status != 0) {
    for (const std::string& line : LinesOf(output)) {
      if (line.find("ALSA") == std::string::npos) ADD_FAILURE() << line;
    }
  }
  const std::string release =
      bytes(BuildSetLevel(state, model, state.TrackBar2.position)) + bytes(BuildRelease(model));
  EXPECT_EQ(receiver.Read(), release);

  noLeakCheck.reset();
  const auto decisions = Decisions(EventsIn(LinesOf(output)));
  EXPECT_EQ(decisions, (std::vector<std::string>{"call follow", "return signal-lost"}));
  EXPECT_EQ(Decisions(EventsIn(LinesOf(log))), decisions);  // the log holds the same objects
}

}  // namespace
}  // namespace tarvo
