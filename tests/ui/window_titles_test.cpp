// The titles the window manager sees on X11: each window's own caption, with nothing appended.
// The windows are shown by a child run of this test on the xcb platform of a private X server.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/app/tarvo_core.h"
#include "support/recorders.h"
#include "support/temp_dir.h"
#include "ui/application_name.h"
#include "ui/qt_seams.h"
#include "ui/tform1.h"
#include "ui/tform2.h"
#include "ui/tform20.h"
#include "ui/tform4.h"
#include "ui/tform9.h"
#include "ui/window_platform.h"

namespace tarvo {
namespace {

constexpr const char* kChildVariable = "TARVO_WINDOW_TITLES_CHILD";

std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
    pclose(pipe);
  }
  return out;
}

bool Installed(const char* program) {
  return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

// The name the X server holds for the window, as xprop prints it.
std::string XWindowName(QWidget& window) {
  return Output("xprop -id " + std::to_string(window.winId()) + " _NET_WM_NAME");
}

// In the child: shows every window and checks what the server holds for each.
void CheckTitlesOnThisDisplay() {
  static int argc = 1;
  static char name[] = "tarvo-window-titles";
  static char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  NameApplication();
  testing::TempDir dir;
  testing::RecordingWorld world;
  testing::WindowPlatform window(world, dir.path());
  Platform& p = window.platform;
  p.receiver = &world.receiver;
  p.monitor = &world.monitor;
  TarvoCore core(p);
  TForm1 form1(core, window.timer1.Timer(), window.timer2.Timer());
  core.Start();
  TForm2 form2(core.FrequencyWindow(), &form1, nullptr);
  TForm20 form20(core.Eye(), &form1);
  const DeviceLists lists = BuildDeviceLists({}, {});
  TForm9 form9(core.State(), core.GetServices(), core.SoundDevicesControl(), lists, &form1);
  QWidget* windows[] = {&form1, &form2, &form20, &form9, form9.Form4};
  for (QWidget* window : windows) window->show();
  for (int i = 0; i < 20; ++i) {
    app.processEvents();
    QThread::msleep(10);
  }
  for (QWidget* window : windows) {
    const std::string title = window->windowTitle().toStdString();
    EXPECT_FALSE(title.empty());
    EXPECT_EQ(XWindowName(*window), "_NET_WM_NAME(UTF8_STRING) = \"" + title + "\"\n") << title;
  }
  for (QWidget* window : windows) window->hide();
  core.FormDestroy();
}

TEST(WindowTitles, AreEachWindowsOwnCaptionOnX11) {
  if (std::getenv(kChildVariable) != nullptr) return CheckTitlesOnThisDisplay();
  if (!Installed("Xvfb") || !Installed("xprop")) GTEST_SKIP() << "needs Xvfb and xprop";

  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t server = fork();
  ASSERT_GE(server, 0);
  if (server == 0) {
    close(fds[0]);
    const std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
           "1024x768x24", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string display;
  char c = 0;
  while (read(fds[0], &c, 1) == 1 && c != '\n') display += c;
  close(fds[0]);
  ASSERT_FALSE(display.empty()) << "Xvfb did not start";

  testing::TempDir dir;
  const std::string log = (dir.path() / "child.txt").string();
  // The session bus Qt reaches on X11 keeps an allocation the leak check would report.
  const std::string command =
      std::string(kChildVariable) +
      "=1 ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=xcb DISPLAY=:" + display + " /proc/" +
      std::to_string(getpid()) + "/exe --gtest_filter=WindowTitles.* >'" + log + "' 2>&1";
  const int status = std::system(command.c_str());
  kill(server, SIGTERM);
  waitpid(server, nullptr, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << Output("cat '" + log + "'");
}

}  // namespace
}  // namespace tarvo
