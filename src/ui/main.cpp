// Tarvo: builds the platform parts, the core and the main window, starts up and runs the loop.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "core/app/file_locations.h"
#include "core/app/tarvo_core.h"
#include "core/radio/named_port.h"
#include "core/sim/demo_devices.h"
#include "core/sim/simulated_capture.h"
#include "core/sim/simulated_serial_port.h"
#include "platform/demo_folder.h"
#include "platform/file_location_probe.h"
#include "platform/iconv_cp932_decoder.h"
#include "platform/process_priority.h"
#include "platform/stop_signals.h"
#include "platform/termios_serial_device.h"
#if TARVO_HAVE_HAMLIB
#include "platform/hamlib_rig.h"
#endif
#include "tarvo_version.h"
#include "ui/application_name.h"
#include "ui/qt_seams.h"
#include "ui/tform1.h"
#include "ui/tform2.h"
#include "ui/tform20.h"
#include "ui/tform9.h"
#include "ui/tform_history.h"
#if TARVO_HAVE_PORTAUDIO
#include "platform/portaudio_capture.h"
#include "platform/portaudio_devices.h"
#include "platform/portaudio_output.h"
#endif

namespace {

constexpr const char* kHelp =
    "usage: tarvo [--demo] [--port PATH] [--files] [--help] [--version] [Qt options]\n"
    "Follows 850 MHz MCA trunked radio systems: decodes the control channel from the receiver's\n"
    "discriminator audio and steers the receiver to calls. Without options it opens the window.\n"
    "\n"
    "  --demo      follow a simulated system: no receiver or sound card needed, and the\n"
    "              settings, frequency list and call log live in a temporary folder\n"
    "  --port PATH the receiver's serial port (e.g. /dev/ttyUSB0) instead of the detected ones\n"
    "  --files     print where the settings, the frequency lists and the call log are kept\n"
    "  --help      print this help\n"
    "  --version   print the version\n"
    "\n"
    "Qt's own options (-platform, -display, -style, ...) are passed on to Qt.\n";

// Each line: what the file is, a space, its path.
void PrintFileLocations(const tarvo::FileLocations& files) {
  std::printf("settings %s\n", files.settings.c_str());
  std::printf("freqlist %s\n", files.freqList.c_str());
  for (const auto& shipped : files.shippedFreqLists) std::printf("shipped %s\n", shipped.c_str());
  std::printf("calls %s\n", files.callLog.c_str());
}

bool WantsDemo(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--demo") return true;
  }
  return false;
}

// The demo's stored control channels: where the simulated system starts and where it moves.
void WriteDemoFrequencyList(const std::filesystem::path& path) {
  std::ofstream(path, std::ios::binary) << "850.00000MHz デモ 制御チャンネル\r\n"
                                           "850.50000MHz デモ 移動先\r\n";
}

// The options answered without a window; the exit status when one was given.
std::optional<int> AnswerInformationOptions(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (arg == "--version") {
      std::printf("tarvo %s\n", tarvo::kTarvoVersion);
      return 0;
    }
    if (arg == "--files") {
      PrintFileLocations(tarvo::LocateRunningProgramFiles());
      return 0;
    }
  }
  return std::nullopt;
}

// The path after --port (or in --port=PATH); empty when not given.
std::string PortOption(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--port" && i + 1 < argc) return argv[i + 1];
    if (arg.rfind("--port=", 0) == 0) return std::string(arg.substr(7));
  }
  return {};
}

// Where a stop signal closes the window, as its close button does; cleared before the window
// goes, so a late signal finds nothing to close.
class StopTarget {
 public:
  void Set(QWidget* window) {
    const std::lock_guard lock(mutex_);
    window_ = window;
  }
  // On the signal watcher's thread: the window closes on its own thread.
  void Close() {
    const std::lock_guard lock(mutex_);
    if (window_ == nullptr) return;
    QWidget* window = window_;
    QMetaObject::invokeMethod(
        window, [window] { window->close(); }, Qt::QueuedConnection);
  }

 private:
  std::mutex mutex_;
  QWidget* window_ = nullptr;
};

// Clears the stop target when the window's scope ends, however it ends.
struct StopTargetScope {
  StopTarget& target;
  ~StopTargetScope() { target.Set(nullptr); }
};

}  // namespace

int main(int argc, char* argv[]) {
  if (const auto status = AnswerInformationOptions(argc, argv)) return *status;
  StopTarget stopTarget;
  // Before any thread starts (Qt's, the sound server's), so only the watcher hears the signals.
  tarvo::StopSignals stopSignals;
  const std::string port = PortOption(argc, argv);
  QApplication app(argc, argv);
  tarvo::NameApplication();
  try {
    tarvo::QtNotice notice;
    tarvo::QtEventPump pump;
    tarvo::QtClock clock;
    tarvo::QtTimerDriver timer1;
    tarvo::QtTimerDriver timer2;
    tarvo::QtTimerDriver soundWatch;
    tarvo::Platform platform;
    platform.notice = &notice;
    platform.pump = &pump;
    platform.clock = &clock;
    platform.timer1 = &timer1;
    platform.timer2 = &timer2;
    platform.soundWatch = &soundWatch;
    platform.files = tarvo::LocateRunningProgramFiles();
    platform.raisePriority = tarvo::RaiseProcessPriority;
    tarvo::TermiosSerialDevice serialDevice;
    std::optional<tarvo::NamedPort> namedPort;
    if (!port.empty()) namedPort.emplace(serialDevice, port);
    platform.serialDevice =
        namedPort ? static_cast<tarvo::SerialDevice*>(&*namedPort) : &serialDevice;
    // The demo: the simulated system is the sound input and the receiver, and its files live
    // in a folder of its own.
    const bool demo = WantsDemo(argc, argv);
    tarvo::DemoFolder demoFolder(demo);
    tarvo::sim::SimulatedAir air(tarvo::sim::AirOptions{});
    tarvo::sim::AirReceiver airReceiver(air);
    tarvo::sim::SimulatedSerialPort demoPort;
    tarvo::TarvoCore* demoTarget = nullptr;
    tarvo::sim::SimulatedCapture demoCapture(air, [&app, &demoTarget] {
      QMetaObject::invokeMethod(
          &app, [&demoTarget] { demoTarget->OnBlockReady(); }, Qt::QueuedConnection);
    });
    if (demo) {
      platform.files = tarvo::FilesBesideProgram(demoFolder.Path() / "tarvo");
      WriteDemoFrequencyList(platform.files.freqList);
      platform.serialDevice = &demoPort;
      platform.receiverTap = &airReceiver;
      platform.capture = &demoCapture;
      platform.afterSettingsLoaded = [&air](tarvo::MainState& state) {
        state.ComPortIndex = 0;
        air.SetDecoder(state.Decoder);
        air.SetControl(state.ControlFrequencyText);
        air.Tune(state.ControlFrequencyText);  // where a receiver would have been left
      };
    }
    // The "Hamlib" model's rig: its calls run on the core's rig worker, which only posts here.
    tarvo::TarvoCore* rigTarget = nullptr;
#if TARVO_HAVE_HAMLIB
    tarvo::HamlibRig rig;
    platform.rigDevice = &rig;
#endif
    platform.rigReportReady = [&app, &rigTarget] {
      QMetaObject::invokeMethod(
          &app,
          [&rigTarget] {
            if (rigTarget != nullptr) rigTarget->OnRigReport();
          },
          Qt::QueuedConnection);
    };
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
    // The demo plays the lines it follows where there is a sound card, and is silent otherwise.
    tarvo::sim::OptionalOutputDevice demoOutput(&soundOutput);
    if (!demo) platform.capture = &capture;
    platform.soundOutput =
        demo ? static_cast<tarvo::SoundOutputDevice*>(&demoOutput) : &soundOutput;
    deviceLists = tarvo::BuildDeviceLists(tarvo::PortAudioInputDeviceNames(),
                                          tarvo::PortAudioOutputDeviceNames());
#endif

    tarvo::TarvoCore core(platform);
    rigTarget = &core;
    demoTarget = &core;
#if TARVO_HAVE_PORTAUDIO
    blockTarget = &core;
#endif
    tarvo::TForm1 form1(core, timer1.Timer(), timer2.Timer());
    QTimer demoDecoder;
    if (demo) {
      form1.SetBaseTitle("Tarvo (デモ)");
      // The simulated system sends what the selected decoder reads.
      QObject::connect(&demoDecoder, &QTimer::timeout,
                       [&air, &core] { air.SetDecoder(core.State().Decoder); });
      demoDecoder.start(250);
    }
    QObject::connect(&soundWatch.Timer(), &QTimer::timeout, &form1,
                     [&core] { core.SoundWatchTimer(); });
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
    tarvo::TFormHistory history(core.History(), core.CallLogPath(), &form1,
                                [&form1] { form1.Refresh(); });
    form1.HistoryOpen = [&history] {
      history.show();
      history.raise();
    };
    tarvo::TForm9 form9(core.State(), core.GetServices(), core.SoundDevicesControl(), deviceLists,
                        &form1);
    form1.Button2Click = [&] {
      form9.exec();
      form1.Refresh();
    };
    form1.show();
    const StopTargetScope stopScope{stopTarget};
    stopTarget.Set(&form1);
    stopSignals.Watch([&stopTarget](int) { stopTarget.Close(); });
    app.exec();
    core.FormDestroy();
  } catch (const std::exception& error) {
    QMessageBox::critical(nullptr, "Tarvo", QString::fromLocal8Bit(error.what()), QMessageBox::Ok);
  }
  return 0;
}
