// The whole program on real sound: a private sound server plays McAccess frames into the
// default input, the main window's "受信" lamp lights, and with "モニター" down the line audio
// comes out of the default output, a second sink the test records.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <thread>

#include "core/app/tarvo_core.h"
#include "support/mcaccess_modulator.h"
#include "support/recorders.h"
#include "support/sound_server.h"
#include "support/temp_dir.h"
#include "ui/offscreen_application.h"
#include "ui/qt_seams.h"
#include "ui/tform1.h"
#include "ui/window_platform.h"

namespace tarvo {
namespace {

TEST(LiveSound, FramesLightTheReceptionLampAndTheMonitorPlaysThem) {
  testing::SoundServer server(11025);
  TARVO_NEED_SOUND_SERVER(server);
  // A second sink for what the program plays, so it is not mixed with what it records.
  ASSERT_EQ(testing::RunProgram({"pactl", "load-module", "module-null-sink", "sink_name=speaker",
                                 "rate=11025", "format=s16le", "channels=2"}),
            0);
  setenv("PULSE_SINK", "speaker", 1);
  // Its own application, ended with the test: a shown window's input devices must not outlive
  // it into the exit handlers.
  const std::unique_ptr<QApplication> owned = testing::MakeOffscreenApplication();

  testing::TempDir dir;
  testing::RecordingWorld world;
  testing::WindowPlatform window(world, dir.path());
  Platform& p = window.platform;
  testing::LiveSoundDevices sound(p);
  p.receiver = &world.receiver;
  auto core = std::make_unique<TarvoCore>(p);
  sound.target = core.get();
  auto form = std::make_unique<TForm1>(*core, window.timer1.Timer(), window.timer2.Timer());
  core->Start();
  form->Refresh();
  form->show();
  ASSERT_TRUE(world.notice.errors.empty()) << world.notice.errors[0];
  form->SpeedButton2->click();  // "モニター"
  ASSERT_TRUE(core->State().MonitorOn);

  std::mt19937 random(5);
  std::vector<McAccessWord> words;
  for (int i = 0; i < 20; ++i) words.push_back(testing::RandomMcAccessWord(random));
  const auto played = server.Folder() / "frames.raw";
  testing::WriteRaw(played, testing::ModulateFrames(words, {}));
  const auto heard = server.Folder() / "heard.raw";
  const pid_t recorder =
      testing::SpawnProgram({"parec", "--raw", "--format=s16le", "--channels=2", "--rate=11025",
                             "--device=speaker.monitor", heard.string()});
  std::thread player([&] { server.Play(played, 11025); });

  bool lit = false;
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 15000 && !(lit && clock.elapsed() > 4000)) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
    lit = lit || form->Panel1->palette().color(QPalette::Window) == QColor(0, 255, 255);
  }
  player.join();
  testing::SoundServer::Stop(recorder);
  core->FormDestroy();

  EXPECT_TRUE(lit) << "the 受信 lamp never turned aqua";
  const std::vector<std::int16_t> samples = testing::ReadRaw(heard);
  int loud = 0;
  for (std::int16_t s : samples) loud += std::abs(s) > 300 ? 1 : 0;
  EXPECT_GT(loud, 11025) << "the monitor output stayed silent";
  form.reset();
  core.reset();
}

// Waits, running the window's events, until done() or the deadline; returns done().
template <typename Done>
bool RunUntil(Done done, int deadlineMs) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < deadlineMs && !done()) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  return done();
}

bool ReceptionLampLit(const TForm1& form) {
  return form.Panel1->palette().color(QPalette::Window) == QColor(0, 255, 255);
}

TEST(LiveSound, DecodingGoesOnAfterTheSoundServerRestarts) {
  testing::SoundServer server(11025);
  TARVO_NEED_SOUND_SERVER(server);
  const std::unique_ptr<QApplication> owned = testing::MakeOffscreenApplication();

  testing::TempDir dir;
  testing::RecordingWorld world;
  testing::RecordingEventSink events;
  testing::WindowPlatform window(world, dir.path());
  Platform& p = window.platform;
  testing::LiveSoundDevices sound(p);
  QtTimerDriver soundWatch;
  p.soundWatch = &soundWatch;
  p.receiver = &world.receiver;
  auto core = std::make_unique<TarvoCore>(p);
  sound.target = core.get();
  TarvoCore* target = core.get();
  core->Events().AddSink(&events);
  QObject::connect(&soundWatch.Timer(), &QTimer::timeout, [&target] { target->SoundWatchTimer(); });
  auto form = std::make_unique<TForm1>(*core, window.timer1.Timer(), window.timer2.Timer());
  core->Start();
  form->Refresh();
  form->show();
  ASSERT_TRUE(world.notice.errors.empty()) << world.notice.errors[0];

  std::mt19937 random(7);
  std::vector<McAccessWord> words;
  for (int i = 0; i < 20; ++i) words.push_back(testing::RandomMcAccessWord(random));
  const auto played = server.Folder() / "frames.raw";
  testing::WriteRaw(played, testing::ModulateFrames(words, {}));
  // Plays the frames and tells whether the 受信 lamp lit meanwhile.
  const auto framesComeThrough = [&] {
    // Dark first: recorded silence puts it out, so a lamp left lit does not count.
    if (!RunUntil([&] { return !ReceptionLampLit(*form); }, 5000)) return false;
    bool lit = false;
    std::thread player([&] { server.Play(played, 11025); });
    RunUntil(
        [&] {
          lit = lit || ReceptionLampLit(*form);
          return lit;
        },
        15000);
    player.join();
    return lit;
  };
  const auto soundStates = [&] {
    std::vector<std::string> states;
    for (const auto& e : events.Of("sound")) states.push_back(e.state);
    return states;
  };

  EXPECT_TRUE(framesComeThrough()) << "no frame before the restart";
  server.Halt();
  EXPECT_TRUE(RunUntil([&] { return core->SoundInputLost(); }, 15000));
  form->Refresh();
  EXPECT_NE(form->windowTitle(), "Tarvo");
  ASSERT_TRUE(server.Restart()) << server.Failure();
  EXPECT_TRUE(RunUntil([&] { return !core->SoundInputLost(); }, 15000));
  EXPECT_EQ(soundStates(), (std::vector<std::string>{"lost", "back"}));
  EXPECT_EQ(form->windowTitle(), "Tarvo");
  EXPECT_TRUE(framesComeThrough()) << "no frame after the restart";
  EXPECT_TRUE(world.notice.errors.empty());  // no box while the server was away

  core->FormDestroy();
  form.reset();
  core.reset();
}

}  // namespace
}  // namespace tarvo
