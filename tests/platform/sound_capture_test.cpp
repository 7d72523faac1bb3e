// Real sound: a private sound server plays recordings into a null sink; Tarvo records its
// monitor through PortAudio's default input.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "core/audio/block_sequencer.h"
#include "core/audio/capture_input.h"
#include "platform/portaudio_capture.h"
#include "platform/portaudio_devices.h"
#include "support/mcaccess_chain.h"
#include "support/mcaccess_modulator.h"
#include "support/recorders.h"
#include "support/sound_server.h"

namespace tarvo::testing {
namespace {

// Stands in for the window thread: announcements from the audio thread are counted and then
// handed to the sequencer on the test's own thread, as the queued call does in the program.
class WindowThread {
 public:
  void Post() {
    {
      std::lock_guard lock(mutex_);
      ++posted_;
    }
    wake_.notify_one();
  }
  // Runs the sequencer for every announcement until done() and nothing is left to run.
  void RunUntil(BlockSequencer& sequencer, const std::function<bool()>& done) {
    std::unique_lock lock(mutex_);
    while (true) {
      wake_.wait_for(lock, std::chrono::milliseconds(50), [&] { return posted_ > 0; });
      const int n = posted_;
      posted_ = 0;
      lock.unlock();
      for (int i = 0; i < n; ++i) sequencer.OnBlockReady();
      const bool finished = n == 0 && done();
      lock.lock();
      if (finished) return;
    }
  }

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  int posted_ = 0;
};

// Plays samples into the server from another thread.
struct Playback {
  Playback(const SoundServer& server, const std::vector<std::int16_t>& samples, int rate) {
    const auto file = server.Folder() / "play.raw";
    WriteRaw(file, samples);
    thread = std::thread([&server, file, rate, this] {
      played = server.Play(file, rate);
      finishedAt = std::chrono::steady_clock::now();
      finished = true;
    });
  }
  ~Playback() { thread.join(); }
  // True once the recording is complete, or some seconds after the player has finished.
  bool Done(bool complete) const {
    if (!finished) return false;
    return complete || std::chrono::steady_clock::now() - finishedAt > std::chrono::seconds(5);
  }
  std::thread thread;
  std::atomic<bool> played{false};
  std::atomic<bool> finished{false};
  std::chrono::steady_clock::time_point finishedAt;
};

TEST(RealSoundCapture, RecordsEveryFrameInOrderThroughTheRing) {
  constexpr int kRate = 11025;
  SoundServer server(kRate);
  TARVO_NEED_SOUND_SERVER(server);

  // Left counts 1, 2, 3, ...; right is its negative, so lost, repeated or swapped frames show.
  constexpr int kFrames = 3 * kRate;
  std::vector<std::int16_t> signal;
  for (int i = 0; i < kFrames; ++i) {
    const auto v = static_cast<std::int16_t>(i % 30000 + 1);
    signal.push_back(v);
    signal.push_back(static_cast<std::int16_t>(-v));
  }

  MainState state;
  RecordingWorld world;
  WindowThread window;
  PortAudioCapture device([&window] { window.Post(); });
  CaptureInput input(state, world.services(), device);
  std::vector<std::int16_t> recorded;
  int blocks = 0;
  BlockSequencer sequencer([&] {
    input.TakeBlock([&](const std::int16_t* frames, int count) {
      EXPECT_EQ(count, 512);
      recorded.insert(recorded.end(), frames, frames + 2 * count);
      ++blocks;
    });
  });
  input.OpenCaptureInput(kRate, 512);
  ASSERT_TRUE(input.IsOpen()) << (world.notice.errors.empty() ? "" : world.notice.errors[0]);
  {
    Playback playback(server, signal, kRate);
    // The recording is complete once the last frame's value has come back.
    window.RunUntil(sequencer, [&] {
      const bool complete = recorded.size() >= 2 &&
                            std::find(recorded.end() - std::min<std::size_t>(recorded.size(), 4096),
                                      recorded.end(), signal[2 * kFrames - 2]) != recorded.end();
      return playback.Done(complete);
    });
    EXPECT_TRUE(playback.played);
  }
  input.CloseCaptureInput();
  input.CloseCaptureInput();

  EXPECT_EQ(input.DroppedSamples(), 0);
  EXPECT_EQ(static_cast<int>(recorded.size()), 2 * 512 * blocks);
  std::size_t start = 0;
  while (start < recorded.size() && recorded[start] == 0) start += 2;
  ASSERT_LT(start, recorded.size()) << "nothing was recorded";
  // The server may swallow the first moments of a new stream; from there on every frame of the
  // recording must follow in order.
  const int first = recorded[start] - 1;
  ASSERT_LT(first, 2048) << "the start of the recording is missing";
  ASSERT_LE(start + 2 * (kFrames - first), recorded.size()) << "the recording ends early";
  for (int i = first; i < kFrames; ++i) {
    const std::size_t at = start + 2 * (i - first);
    ASSERT_EQ(recorded[at], signal[2 * i]) << "frame " << i;
    ASSERT_EQ(recorded[at + 1], signal[2 * i + 1]) << "frame " << i;
  }
}

TEST(RealSoundCapture, McAccessFramesPlayedAt44100AreDecoded) {
  constexpr int kRate = 44100;
  SoundServer server(kRate);
  TARVO_NEED_SOUND_SERVER(server);

  std::mt19937 random(7);
  std::vector<McAccessWord> words;
  for (int i = 0; i < 12; ++i) words.push_back(RandomMcAccessWord(random));
  ModulatorOptions options;
  options.sampleRate = kRate;
  const std::vector<std::int16_t> signal = ModulateFrames(words, options);

  McAccessChain chain;
  WindowThread window;
  PortAudioCapture device([&window] { window.Post(); });
  CaptureInput input(chain.state, chain.world.services(), device);
  const CaptureFormat format = SelectCaptureRate(2);
  BlockSequencer sequencer([&] {
    input.TakeBlock([&](const std::int16_t* frames, int count) {
      chain.frontEnd.ProcessInputBlock(frames, count);
    });
  });
  input.OpenCaptureInput(format.CaptureRate, format.CaptureFrames);
  ASSERT_TRUE(input.IsOpen());
  {
    Playback playback(server, signal, kRate);
    window.RunUntil(sequencer,
                    [&] { return playback.Done(chain.frames.words.size() >= words.size()); });
  }
  input.CloseCaptureInput();

  std::vector<std::string> sent, decoded;
  for (const auto& w : words) sent.push_back(WordText(w));
  for (const auto& w : chain.frames.words) decoded.push_back(WordText(w));
  EXPECT_EQ(decoded, sent);
}

TEST(RealSoundCapture, MissingDeviceReportsTheOpenErrorAndDeliversNothing) {
  SoundServer server(11025);
  TARVO_NEED_SOUND_SERVER(server);
  MainState state;
  state.InputDevice = static_cast<int>(PortAudioInputDeviceNames().size()) + 1;
  RecordingWorld world;
  std::atomic<int> posted{0};
  PortAudioCapture device([&posted] { ++posted; });
  CaptureInput input(state, world.services(), device);
  input.OpenCaptureInput(11025, 512);
  EXPECT_FALSE(input.IsOpen());
  EXPECT_EQ(world.notice.beeps, 1);
  ASSERT_EQ(world.notice.errors.size(), 1u);
  EXPECT_EQ(world.notice.errors[0].substr(0, world.notice.errors[0].find('\n')),
            "録音デバイスをオープンできないためプログラムの実行ができません");
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(posted, 0);
  input.CloseCaptureInput();
}

}  // namespace
}  // namespace tarvo::testing
