// The whole program steering a rig through hamlib: a private sound server plays a McAccess
// control channel announcing a call, the window tracks with the "Hamlib" model pointed at a
// private rigctld, and the daemon is tuned to the call's line and back to the control channel.
#include <gtest/gtest.h>

#if TARVO_HAVE_HAMLIB && TARVO_HAVE_PORTAUDIO

#include <QApplication>
#include <QElapsedTimer>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

#include "core/app/tarvo_core.h"
#include "platform/hamlib_rig.h"
#include "platform/portaudio_capture.h"
#include "platform/portaudio_output.h"
#include "support/mcaccess_modulator.h"
#include "support/mcaccess_words.h"
#include "support/recorders.h"
#include "support/rig_daemon.h"
#include "support/sound_server.h"
#include "support/temp_dir.h"
#include "ui/offscreen_application.h"
#include "ui/qt_seams.h"
#include "ui/tform1.h"
#include "ui/window_platform.h"

namespace tarvo {
namespace {

using testing::MakeMcAccessWord;

constexpr std::int64_t kControlHertz = 850000000;
constexpr std::int64_t kLineHertz = 851012500;  // channel 41 with the offset flag

// What the daemon is tuned to, asked as a second client would; -1 when it does not answer.
std::int64_t DaemonFrequency(const std::string& address) {
  HamlibRig reader;
  freq_t hertz = -1;
  if (!reader.Open({2, address, 0}) ||
      rig_get_freq(reader.Handle(), RIG_VFO_CURR, &hertz) != RIG_OK) {
    return -1;
  }
  return static_cast<std::int64_t>(hertz);
}

TEST(LiveRig, TrackingTunesRigctldToTheLineAndBack) {
  testing::SoundServer server(11025);
  TARVO_NEED_SOUND_SERVER(server);
  testing::RigDaemon daemon;
  TARVO_NEED_RIG_DAEMON(daemon);
  const std::unique_ptr<QApplication> owned = testing::MakeOffscreenApplication();

  testing::TempDir dir;
  std::ofstream(dir.path() / "tarvo.ini")
      << "[RS232C]\nComp=8\nRig=2\nRigPort=" << daemon.Address() << "\n";
  testing::RecordingWorld world;
  QtClock clock;
  testing::WindowPlatform window(world, dir.path());
  Platform& p = window.platform;
  p.clock = &clock;
  testing::LiveSoundDevices sound(p);
  TarvoCore* target = nullptr;
  HamlibRig rig;
  p.rigDevice = &rig;
  p.rigReportReady = [&target] {
    QMetaObject::invokeMethod(
        qApp, [&target] { target->OnRigReport(); }, Qt::QueuedConnection);
  };
  auto core = std::make_unique<TarvoCore>(p);
  target = core.get();
  sound.target = target;
  auto form = std::make_unique<TForm1>(*core, window.timer1.Timer(), window.timer2.Timer());
  core->Start();
  form->Refresh();
  form->show();
  ASSERT_EQ(form->ComboBox1->currentText(), "Hamlib");
  form->SpeedButton1->click();  // tracking: to the control channel first
  ASSERT_TRUE(core->State().TrackingOn);

  // Where the daemon was tuned, each change once, while the air is played.
  std::vector<std::int64_t> tunedTo;
  const auto watch = [&](auto done) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < 30000 && !done()) {
      QApplication::processEvents(QEventLoop::AllEvents, 100);
      const std::int64_t hertz = DaemonFrequency(daemon.Address());
      if (hertz > 0 && (tunedTo.empty() || tunedTo.back() != hertz)) tunedTo.push_back(hertz);
    }
  };
  watch([&] { return !tunedTo.empty() && tunedTo.back() == kControlHertz; });
  ASSERT_EQ(tunedTo.back(), kControlHertz) << "tracking did not tune the daemon";
  tunedTo = {kControlHertz};  // before it, the dummy rig's own start frequency

  const std::vector<McAccessWord> words = {
      MakeMcAccessWord({.type = 0x00, .callTimeCode = 0b101}),
      MakeMcAccessWord({.type = 0x20, .id = 0x1A7, .offset = true, .channel = 41}),
  };
  const auto played = server.Folder() / "call.raw";
  testing::WriteRaw(played, testing::ModulateFrames(words, {}));
  std::thread player([&] { server.Play(played, 11025); });
  // No call tone follows on the line, so the watchdog brings the receiver back after 3 s.
  watch([&] {
    return tunedTo.size() >= 3 && tunedTo[tunedTo.size() - 2] == kLineHertz &&
           tunedTo.back() == kControlHertz;
  });
  player.join();
  EXPECT_EQ(tunedTo, (std::vector<std::int64_t>{kControlHertz, kLineHertz, kControlHertz}));
  EXPECT_TRUE(world.notice.errors.empty());

  ASSERT_TRUE(form->close());
  core->FormDestroy();
  form.reset();
  core.reset();
}

}  // namespace
}  // namespace tarvo

#endif
