// Tarvo: builds the platform parts, the core and the main window, starts up and runs the loop.
#include <QApplication>
#include <QMessageBox>
#include <exception>

#include "core/app/settings.h"
#include "core/app/tarvo_core.h"
#include "platform/iconv_cp932_decoder.h"
#include "platform/process_priority.h"
#include "platform/termios_serial_device.h"
#include "ui/application_name.h"
#include "ui/qt_seams.h"
#include "ui/tform1.h"
#include "ui/tform2.h"
#include "ui/tform20.h"
#include "ui/tform9.h"
#if TARVO_HAVE_PORTAUDIO
#include "platform/portaudio_capture.h"
#include "platform/portaudio_devices.h"
#include "platform/portaudio_output.h"
#endif

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  tarvo::NameApplication();
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
    tarvo::TermiosSerialDevice serialDevice;
    platform.serialDevice = &serialDevice;
    tarvo::IconvCp932Decoder cp932;
    platform.cp932 = &cp932;
    tarvo::DeviceLists deviceLists = tarvo::BuildDeviceLists({}, {});
#if TARVO_HAVE_PORTAUDIO
    // The audio thread only posts; the block runs on the window thread.
    tarvo::TarvoCore* blockTarget = nullptr;
    tarvo::PortAudioCapture capture([&app, &blockTarget] {
      QMetaObject::invokeMethod(
          &app, [&blockTarget] { blockTarget->OnBlockReady(); }, Qt::QueuedConnection);
    });
    tarvo::PortAudioOutput soundOutput;
    platform.capture = &capture;
    platform.soundOutput = &soundOutput;
    deviceLists = tarvo::BuildDeviceLists(tarvo::PortAudioInputDeviceNames(),
                                          tarvo::PortAudioOutputDeviceNames());
#endif

    tarvo::TarvoCore core(platform);
#if TARVO_HAVE_PORTAUDIO
    blockTarget = &core;
#endif
    tarvo::TForm1 form1(core, timer1.Timer(), timer2.Timer());
    core.Start();
    form1.Refresh();
    form1.move(core.State().FormLeft, core.State().FormTop);
    // The other windows, in their order; each lives until the end, hidden when not in use.
    tarvo::TForm2 form2(core.FrequencyWindow(), &form1, [&form1] { form1.Refresh(); });
    core.FrequencyWindow().Create();  // reads the stored frequency list
    form2.Refresh();
    tarvo::TForm20 form20(core.Eye(), &form1);
    form1.Button1Click = [&form2] {
      form2.show();
      form2.raise();
    };
    form1.Button4Click = [&form20] {
      if (!form20.isVisible()) form20.show();
    };
    tarvo::TForm9 form9(core.State(), core.GetServices(), core.SoundDevicesControl(), deviceLists,
                        &form1);
    form1.Button2Click = [&] {
      form9.exec();
      form1.Refresh();
    };
    form1.show();
    app.exec();
    core.FormDestroy();
  } catch (const std::exception& error) {
    QMessageBox::critical(nullptr, "Tarvo", QString::fromLocal8Bit(error.what()), QMessageBox::Ok);
  }
  return 0;
}
