// Tarvo: builds the platform parts, the core and the main window, starts up and runs the loop.
#include <QApplication>
#include <QMessageBox>
#include <exception>

#include "core/app/settings.h"
#include "core/app/tarvo_core.h"
#include "platform/process_priority.h"
#include "ui/qt_seams.h"
#include "ui/tform1.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Tarvo");
  QApplication::setApplicationDisplayName("Tarvo");
  try {
    tarvo::QtNotice notice;
    tarvo::QtEventPump pump;
    tarvo::QtClock clock;
    tarvo::QtTimerDriver timer1;
    tarvo::QtTimerDriver timer2;
    tarvo::Platform platform;
    platform.notice = &notice;
    platform.pump = &pump;
    platform.clock = &clock;
    platform.timer1 = &timer1;
    platform.timer2 = &timer2;
    platform.programPath = tarvo::RunningProgramPath();
    platform.raisePriority = tarvo::RaiseProcessPriority;

    tarvo::TarvoCore core(platform);
    tarvo::TForm1 form1(core, timer1.Timer(), timer2.Timer());
    core.Start();
    form1.Refresh();
    form1.move(core.State().FormLeft, core.State().FormTop);
    // The frequency window, the notice window, the eye pattern and the device dialog are built
    // here, in that order, and hooked to form1.Button1Click, Button4Click and Button2Click.
    form1.show();
    app.exec();
    core.FormDestroy();
  } catch (const std::exception& error) {
    QMessageBox::critical(nullptr, "Tarvo", QString::fromLocal8Bit(error.what()), QMessageBox::Ok);
  }
  return 0;
}
