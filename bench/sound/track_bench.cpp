// Measures tarvo-track as a user leaves it running: a private sound server plays McAccess
// frames at 44100 Hz, the tracker next to this program's folder decodes them, and this prints
// its CPU use after start-up and its peak resident memory.
//
//   tarvo-track-bench [seconds]
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "frames_file.h"
#include "support/sound_server.h"

namespace {

// User and system time of a running process, in seconds.
double CpuSeconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(in, line);
  // Fields after the command name, which is in parentheses and may hold spaces.
  std::istringstream fields(line.substr(line.rfind(')') + 2));
  std::string field;
  double ticks = 0.0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14 || i == 15) ticks += std::stod(field);
  }
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// A line of /proc/PID/status in kilobytes, such as "VmHWM".
long StatusKilobytes(pid_t pid, const std::string& key) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(key + ":", 0) == 0) return std::atol(line.c_str() + key.size() + 1);
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tarvo;
  using namespace tarvo::testing;
  const int seconds = argc > 1 ? std::max(10, std::atoi(argv[1])) : 60;
  constexpr int kRate = 44100;
  constexpr int kWarmUpSeconds = 3;
  const auto tracker =
      std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "tarvo-track";

  SoundServer server(kRate);
  if (!server.Failure().empty()) {
    std::fprintf(stderr, "no sound server: %s\n", server.Failure().c_str());
    return 1;
  }
  const auto frames = server.Folder() / "frames.raw";
  bench::WriteMcAccessFrames(frames, seconds + kWarmUpSeconds + 2, kRate, 5);
  const auto config = server.Folder() / "tarvo.ini";
  std::ofstream(config).flush();
  const auto events = server.Folder() / "events.jsonl";

  const pid_t pid = SpawnProgram({tracker.string(), "--rate", "44100", "--no-tracking", "--no-log",
                                  "--config", config.string()},
                                 events.string());
  std::thread player([&] { server.Play(frames, kRate); });
  std::this_thread::sleep_for(std::chrono::seconds(kWarmUpSeconds));
  const double cpuBefore = CpuSeconds(pid);
  const auto wallBefore = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  const double cpu = CpuSeconds(pid) - cpuBefore;
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
  const long peak = StatusKilobytes(pid, "VmHWM");
  const long resident = StatusKilobytes(pid, "VmRSS");
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  player.join();

  // Frames decoded, from the health reports every 10 s.
  long decoded = 0;
  std::string output;
  std::ifstream in(events);
  for (std::string line; std::getline(in, line);) {
    const std::size_t at = line.find("\"frames\":");
    if (at != std::string::npos) decoded += std::atol(line.c_str() + at + 9);
    output += line + "\n";
  }
  if (peak < 0 || decoded == 0) {
    std::fprintf(stderr, "%s decoded nothing; it wrote:\n%s", tracker.c_str(), output.c_str());
    return 1;
  }
  std::printf("tarvo-track decoding at 44100 Hz for %d s (%ld frames):\n", seconds, decoded);
  std::printf("  CPU %.2f %% of one core after start-up\n", 100.0 * cpu / wall);
  std::printf("  resident memory %.1f MB, peak %.1f MB\n", resident / 1024.0, peak / 1024.0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}
