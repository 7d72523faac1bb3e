#include "support/sound_server.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

namespace tarvo::testing {
namespace {

std::vector<char*> Argv(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  return argv;
}

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    const std::size_t end = std::min(dirs.find(':', start), dirs.size());
    if (access((dirs.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

std::string Tail(const std::filesystem::path& log) {
  std::ifstream in(log);
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return text.size() > 600 ? text.substr(text.size() - 600) : text;
}

std::string Format(int rate) {
  return "--rate=" + std::to_string(rate);
}

// ALSA unloads its sound-server plugins when PortAudio ends, taking the names of their
// once-only allocations with them; kept loaded, the leak checker can tell them apart.
void PinSoundServerPlugins() {
  dlopen("libpulse.so.0", RTLD_NOW | RTLD_NODELETE);
  for (const char* dir :
       {"/usr/lib/x86_64-linux-gnu/alsa-lib", "/usr/lib/aarch64-linux-gnu/alsa-lib",
        "/usr/lib64/alsa-lib", "/usr/lib/alsa-lib"}) {
    for (const char* module : {"pcm", "conf", "ctl"}) {
      const std::string path = std::string(dir) + "/libasound_module_" + module + "_pulse.so";
      if (access(path.c_str(), R_OK) == 0) dlopen(path.c_str(), RTLD_NOW | RTLD_NODELETE);
    }
  }
}

}  // namespace

bool RealSoundRequired() {
  const char* required = std::getenv("TARVO_REQUIRE_REAL_SOUND");
  return required != nullptr && std::string(required) == "1";
}

pid_t SpawnProgram(const std::vector<std::string>& argv, const std::string& stdoutPath) {
  const pid_t pid = fork();
  if (pid == 0) {
    const int out = stdoutPath.empty()
                        ? open("/dev/null", O_WRONLY)
                        : open(stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out >= 0) {
      dup2(out, 1);
      dup2(out, 2);
    }
    execvp(argv[0].c_str(), Argv(argv).data());
    _exit(127);
  }
  return pid;
}

int RunProgram(const std::vector<std::string>& argv) {
  const pid_t pid = SpawnProgram(argv);
  if (pid < 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

SoundServer::SoundServer(int rate) : rate_(rate) {
  for (const char* program : {"pulseaudio", "pactl", "pacat", "parec"}) {
    if (!OnPath(program)) {
      failure_ = std::string(program) + " is not installed";
      return;
    }
  }
  PinSoundServerPlugins();
  const auto run = dir_.path() / "run";
  const auto home = dir_.path() / "home";
  std::filesystem::create_directories(run);
  std::filesystem::create_directories(home);
  // The system's ALSA configuration reads ~/.asoundrc: make the default device the server.
  std::ofstream(home / ".asoundrc") << "pcm.!default { type pulse }\nctl.!default { type pulse }\n";
  setenv("XDG_RUNTIME_DIR", run.c_str(), 1);
  setenv("HOME", home.c_str(), 1);
  setenv("PULSE_SERVER", ("unix:" + (run / "pulse" / "native").string()).c_str(), 1);
  setenv("JACK_NO_START_SERVER", "1", 1);
  unsetenv("PULSE_SINK");
  unsetenv("PULSE_SOURCE");

  failure_ = Launch();
}

std::string SoundServer::Launch() {
  const std::string sink = "module-null-sink sink_name=" + SinkName() +
                           " rate=" + std::to_string(rate_) + " format=s16le channels=2";
  const auto log = dir_.path() / "server.log";
  // As root it needs --system=false to run as a per-user server.
  server_ = SpawnProgram({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                          "--system=false", "--use-pid-file=false", "--disallow-exit",
                          "--log-target=stderr", "-L", "module-native-protocol-unix", "-L", sink},
                         log.string());
  if (server_ < 0) return "cannot start pulseaudio";
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    if (RunProgram({"pactl", "info"}) == 0) return {};
    int status = 0;
    if (waitpid(server_, &status, WNOHANG) == server_) {
      server_ = -1;
      return "pulseaudio exited: " + Tail(log);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return "pulseaudio did not answer: " + Tail(log);
}

void SoundServer::Halt() {
  Stop(server_);
  server_ = -1;
}

bool SoundServer::Restart() {
  Halt();
  failure_ = Launch();
  return failure_.empty();
}

SoundServer::~SoundServer() {
  Stop(server_);
}

bool SoundServer::Play(const std::filesystem::path& raw, int rate) const {
  return RunProgram({"pacat", "--playback", "--raw", "--format=s16le", "--channels=2", Format(rate),
                     "--device=" + SinkName(), raw.string()}) == 0;
}

pid_t SoundServer::StartRecording(const std::filesystem::path& raw, int rate) const {
  return SpawnProgram({"parec", "--raw", "--format=s16le", "--channels=2", Format(rate),
                       "--latency-msec=20", "--device=" + MonitorSource(), raw.string()});
}

void SoundServer::Stop(pid_t child) {
  if (child <= 0) return;
  kill(child, SIGTERM);
  int status = 0;
  waitpid(child, &status, 0);
}

void WriteRaw(const std::filesystem::path& path, const std::vector<std::int16_t>& samples) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(samples.data()),
            static_cast<std::streamsize>(samples.size() * sizeof(std::int16_t)));
}

std::vector<std::int16_t> ReadRaw(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<std::int16_t> samples(bytes.size() / 2);
  if (!samples.empty()) std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

}  // namespace tarvo::testing

// Once-only allocations of the sound-server client libraries are not leaks of ours, nor is what
// hamlib's rig_open keeps of every network rig it opened.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libpulse.so\nleak:libpulsecommon\nleak:libasound_module_\nleak:libasound.so\n"
         "leak:libhamlib.so\n";
}

// Those libraries keep no frame pointers: only the slow unwinder finds their names.
extern "C" const char* __asan_default_options() {
  return "fast_unwind_on_malloc=0";
}
