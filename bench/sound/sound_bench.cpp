// Measures the live capture path: a private sound server plays McAccess frames at 44100 Hz,
// PortAudio records them, each block's notification becomes a queued Qt call on the main
// thread, and the front-end and demodulator decode it. Prints the latency from notification
// to processed block and the process's CPU use while decoding.
//
//   tarvo-sound-bench [seconds]
#include <sys/resource.h>

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "core/audio/block_sequencer.h"
#include "core/audio/capture_input.h"
#include "frames_file.h"
#include "platform/portaudio_capture.h"
#include "support/mcaccess_chain.h"
#include "support/sound_server.h"

namespace {

using WallClock = std::chrono::steady_clock;

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0.0;
  std::sort(v.begin(), v.end());
  return v[static_cast<std::size_t>(p * (v.size() - 1))];
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tarvo;
  using namespace tarvo::testing;
  const int seconds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 20;
  constexpr int kRate = 44100;

  SoundServer server(kRate);
  if (!server.Failure().empty()) {
    std::fprintf(stderr, "no sound server: %s\n", server.Failure().c_str());
    return 1;
  }
  QCoreApplication app(argc, argv);

  // Frames back to back for the whole run.
  const auto file = server.Folder() / "frames.raw";
  const int frameCount = bench::WriteMcAccessFrames(file, seconds + 3, kRate, 3);

  McAccessChain chain;
  std::vector<double> toStart, toEnd;
  WallClock::time_point posted;
  BlockSequencer* sequencer = nullptr;
  PortAudioCapture device([&] {
    const WallClock::time_point at = WallClock::now();
    QMetaObject::invokeMethod(
        &app,
        [&, at] {
          posted = at;
          sequencer->OnBlockReady();
        },
        Qt::QueuedConnection);
  });
  CaptureInput input(chain.state, chain.world.services(), device);
  BlockSequencer blocks([&] {
    input.TakeBlock([&](const std::int16_t* frames, int count) {
      const WallClock::time_point start = WallClock::now();
      chain.frontEnd.ProcessInputBlock(frames, count);
      const WallClock::time_point end = WallClock::now();
      toStart.push_back(std::chrono::duration<double, std::milli>(start - posted).count());
      toEnd.push_back(std::chrono::duration<double, std::milli>(end - posted).count());
    });
  });
  sequencer = &blocks;
  const CaptureFormat format = SelectCaptureRate(2);
  input.OpenCaptureInput(format.CaptureRate, format.CaptureFrames);
  if (!input.IsOpen()) return 1;

  std::thread player([&] { server.Play(file, kRate); });
  // The first seconds carry the devices' start-up: measure the steady state after them.
  constexpr int kWarmUpMs = 3000;
  double cpuBefore = 0.0;
  WallClock::time_point wallBefore;
  QTimer::singleShot(kWarmUpMs, &app, [&] {
    cpuBefore = CpuSeconds();
    wallBefore = WallClock::now();
  });
  QTimer::singleShot(kWarmUpMs + seconds * 1000, &app, &QCoreApplication::quit);
  app.exec();
  const double cpu = CpuSeconds() - cpuBefore;
  const double wall = std::chrono::duration<double>(WallClock::now() - wallBefore).count();
  input.CloseCaptureInput();
  player.join();

  std::printf("blocks %zu, frames decoded %zu of about %d sent in %d s\n", toEnd.size(),
              chain.frames.words.size(), frameCount, seconds);
  std::printf("notification -> block taken:     median %.3f ms, 99%% %.3f ms, max %.3f ms\n",
              Percentile(toStart, 0.5), Percentile(toStart, 0.99), Percentile(toStart, 1.0));
  std::printf("notification -> block processed: median %.3f ms, 99%% %.3f ms, max %.3f ms\n",
              Percentile(toEnd, 0.5), Percentile(toEnd, 0.99), Percentile(toEnd, 1.0));
  std::printf("CPU while decoding at 44100 Hz: %.2f %% of one core (capture, queue and decode)\n",
              100.0 * cpu / wall);
  return 0;
}
