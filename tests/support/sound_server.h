// A private PulseAudio server for tests that need real sound: its own runtime and home folders,
// one null sink whose monitor is the default source, and ALSA's default device pointed at it
// so PortAudio's default devices reach it. Start it before PortAudio is first used.
#pragma once

#include <sys/types.h>

#include <cstdint>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace tarvo::testing {

class SoundServer {
 public:
  // Starts the server with a null sink at rate frames per second, 16-bit stereo.
  explicit SoundServer(int rate);
  ~SoundServer();
  SoundServer(const SoundServer&) = delete;
  SoundServer& operator=(const SoundServer&) = delete;

  // Empty when the server runs; otherwise why it could not start.
  const std::string& Failure() const { return failure_; }
  std::string SinkName() const { return "tarvo_sink"; }
  std::string MonitorSource() const { return "tarvo_sink.monitor"; }
  const std::filesystem::path& Folder() const { return dir_.path(); }

  // Plays a raw 16-bit stereo file into the sink at rate; returns once it has been sent.
  bool Play(const std::filesystem::path& raw, int rate) const;
  // Starts recording the sink's monitor as raw 16-bit stereo at rate into file; Stop ends it.
  pid_t StartRecording(const std::filesystem::path& raw, int rate) const;
  static void Stop(pid_t child);

  // Ends the server, as a crash or a logout would; Restart starts it again with the same sink
  // and socket and returns once it answers.
  void Halt();
  bool Restart();

 private:
  // Starts the server and waits for it; empty when it answers, else why not.
  std::string Launch();

  TempDir dir_;
  int rate_;
  pid_t server_ = -1;
  std::string failure_;
};

// True where the real-sound tests must run (TARVO_REQUIRE_REAL_SOUND=1, as on the CI machine):
// there a server that cannot start fails the test instead of skipping it.
bool RealSoundRequired();

// Ends the test when server could not start: skipped with the reason, or failed where real
// sound is required.
#define TARVO_NEED_SOUND_SERVER(server)                          \
  do {                                                           \
    if (!(server).Failure().empty()) {                           \
      if (::tarvo::testing::RealSoundRequired()) {               \
        FAIL() << "no sound server: " << (server).Failure();     \
      }                                                          \
      GTEST_SKIP() << "no sound server: " << (server).Failure(); \
    }                                                            \
  } while (false)

// Runs a program with arguments, waits and returns its exit status (-1 when it did not run).
int RunProgram(const std::vector<std::string>& argv);
// Starts a program with arguments and returns its process id without waiting.
pid_t SpawnProgram(const std::vector<std::string>& argv, const std::string& stdoutPath = "");

void WriteRaw(const std::filesystem::path& path, const std::vector<std::int16_t>& samples);
std::vector<std::int16_t> ReadRaw(const std::filesystem::path& path);

}  // namespace tarvo::testing
