// tarvo-track: the tracker without a window. The same core as the program, fed by the sound card
// (or the simulated system with --demo), steering the receiver, with every tracking event as a
// JSON line on standard output, in the call log and, when asked, on an MQTT broker.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/app/tarvo_core.h"
#include "core/app/track_options.h"
#include "core/base/notice.h"
#include "core/base/steady_clock.h"
#include "core/base/tracking_event_json.h"
#include "core/radio/named_port.h"
#include "core/sim/demo_devices.h"
#include "core/sim/simulated_capture.h"
#include "core/sim/simulated_serial_port.h"
#include "platform/demo_folder.h"
#include "platform/file_location_probe.h"
#include "platform/headless_loop.h"
#include "platform/stop_signals.h"
#include "platform/termios_serial_device.h"
#include "tarvo_version.h"
#if TARVO_HAVE_HAMLIB
#include "platform/hamlib_rig.h"
#endif
#if TARVO_HAVE_PORTAUDIO
#include "platform/portaudio_capture.h"
#include "platform/portaudio_devices.h"
#endif
#if TARVO_HAVE_MQTT
#include "platform/mqtt_publisher.h"
#endif

namespace tarvo {
namespace {

constexpr int kFailure = 2;

constexpr const char* kUsage = R"(usage: tarvo-track [options]

Follows an MCA trunked radio system without a window: decodes the control channel from the
sound input, steers the receiver to admitted calls and back, and prints every tracking event as
one JSON line. Settings come from the program's tarvo.ini; the options override them and the
file is never written.

  --config FILE          another settings file
  --decoder mcaccess|jsmr
  --demod exact|robust   the robust demodulator decodes weaker signals
  --invert               JSMR data upside down (the 反転 option)
  --channel left|right   which side of the stereo input
  --control FREQ         control-channel frequency in MHz
  --model NAME           receiver model as the window lists it, e.g. AR-5000 or Hamlib
                         (Hamlib takes the rig number and port from tarvo.ini)
  --port PATH            the receiver's serial port, e.g. /dev/ttyUSB0
  --address HEX          CI-V address for ICOM(CIV)
  --device TEXT          the first capture device whose name contains TEXT
  --rate 11025|22050|44100
  --no-tracking          decode and log without tuning the receiver
  --only ID[,ID[,ID]]    follow only these caller IDs
  --pass ID[,ID...]      never follow these caller IDs
  --log FILE             another call log file
  --no-log               no call log
  --mqtt HOST[:PORT]     publish events to PREFIX/events and a retained PREFIX/status
  --topic PREFIX         MQTT topic prefix (default tarvo/HOSTNAME)
  --seconds N            stop after N seconds
  --demo                 track the simulated system: no sound card, no receiver
  --seed N               the simulated system's seed
  --help, --version
)";

int Fail(const std::string& text) {
  std::fprintf(stderr, "tarvo-track: %s\n", text.c_str());
  return kFailure;
}

// Problems for the operator, one line each on standard error.
class StderrNotice : public Notice {
 public:
  void Beep() override {}
  void ShowError(const std::string& text) override {
    std::string line = text;
    line.erase(0, line.find_first_not_of(' '));
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::fprintf(stderr, "tarvo-track: %s\n", line.c_str());
  }
};

// Every event as a line on standard output, at once.
class StdoutEvents : public TrackingEventSink {
 public:
  void OnTrackingEvent(const TrackingEvent& event) override {
    std::fputs((FormatEventJson(event) + "\n").c_str(), stdout);
    std::fflush(stdout);
  }
};

int Run(int argc, char* argv[]) {
  // Before any thread exists, so that only the watcher hears the stop signals.
  StopSignals stopSignals;

  TrackOptions options;
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (const std::string problem = ParseTrackOptions(args, options); !problem.empty()) {
    return Fail(problem + " (see tarvo-track --help)");
  }
  if (options.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (options.version) {
    std::printf("tarvo-track %s\n", kTarvoVersion);
    return 0;
  }

  StderrNotice notice;
  HeadlessLoop loop;
  SteadyClock clock;
  TarvoCore* target = nullptr;
  HeadlessTimer timer1(loop, [&target] { target->Handlers().Timer1Timer(); });
  HeadlessTimer timer2(loop, [&target] { target->Handlers().Timer2Timer(); });
  HeadlessTimer soundWatch(loop, [&target] { target->SoundWatchTimer(); });

  Platform platform;
  platform.notice = &notice;
  platform.pump = &loop;
  platform.clock = &clock;
  platform.timer1 = &timer1;
  platform.timer2 = &timer2;
  platform.soundWatch = &soundWatch;
  // The window program's files, found by the same rule.
  platform.files = LocateRunningProgramFiles();
  if (!options.config.empty()) platform.files.settings = options.config;
  if (!options.log.empty()) platform.files.callLog = options.log;
  platform.writeCallLog = !options.noLog;

  TermiosSerialDevice termios;
  std::optional<NamedPort> namedPort;
  if (!options.port.empty()) namedPort.emplace(termios, options.port);
  platform.serialDevice = namedPort ? static_cast<SerialDevice*>(&*namedPort) : &termios;

  // The demo: the simulated system as sound input and receiver, with settings of its own in a
  // temporary folder, so the user's files are never touched.
  sim::AirOptions airOptions;
  if (options.seed) airOptions.seed = *options.seed;
  sim::SimulatedAir air(airOptions);
  sim::AirReceiver airReceiver(air);
  sim::SimulatedSerialPort demoPort;
  sim::SimulatedCapture demoCapture(
      air, [&loop, &target] { loop.Post([&target] { target->OnBlockReady(); }); });
  DemoFolder demoFolder(options.demo);
  if (options.demo) {
    platform.files = FilesBesideProgram(demoFolder.Path() / "tarvo");
    if (!options.log.empty()) platform.files.callLog = options.log;
    platform.writeCallLog = !options.log.empty();
    platform.serialDevice = &demoPort;
    platform.receiverTap = &airReceiver;
    platform.capture = &demoCapture;
  }

#if TARVO_HAVE_HAMLIB
  // The "Hamlib" model's rig: its calls run on the core's rig worker, which only posts here.
  HamlibRig rig;
  platform.rigDevice = &rig;
  platform.rigReportReady = [&loop, &target] { loop.Post([&target] { target->OnRigReport(); }); };
#endif

  std::optional<int> inputDevice;
#if TARVO_HAVE_PORTAUDIO
  // The demo opens no sound device at all.
  std::optional<PortAudioCapture> capture;
  if (!options.demo) {
    capture.emplace([&loop, &target] { loop.Post([&target] { target->OnBlockReady(); }); });
    platform.capture = &*capture;
  }
  if (!options.device.empty() && !options.demo) {
    const std::vector<std::string> names = PortAudioInputDeviceNames();
    for (std::size_t i = 0; i < names.size() && !inputDevice; ++i) {
      if (names[i].find(options.device) != std::string::npos) inputDevice = static_cast<int>(i) + 1;
    }
    if (!inputDevice) return Fail("no capture device's name contains '" + options.device + "'");
  }
#else
  if (!options.demo) return Fail("built without sound input");
#endif
  platform.afterSettingsLoaded = [&](MainState& state) {
    ApplyTrackOptions(options, state);
    if (namedPort || options.demo) state.ComPortIndex = 0;
    if (inputDevice) state.InputDevice = *inputDevice;
    if (options.demo) {
      air.SetDecoder(state.Decoder);
      air.SetControl(state.ControlFrequencyText);
      air.Tune(state.ControlFrequencyText);  // where a receiver would have been left
    }
  };

  TarvoCore core(platform);
  target = &core;
  StdoutEvents stdoutEvents;
  core.Events().AddSink(&stdoutEvents);
#if TARVO_HAVE_MQTT
  std::unique_ptr<MqttPublisher> mqtt;
  if (!options.mqttHost.empty()) {
    mqtt = std::make_unique<MqttPublisher>(
        options.mqttHost, options.mqttPort,
        options.topic.empty() ? MqttPublisher::DefaultPrefix() : options.topic);
    if (!mqtt->Start()) return kFailure;
    core.Events().AddSink(mqtt.get());
  }
#else
  if (!options.mqttHost.empty()) return Fail("built without MQTT");
#endif

  core.Start();
  if (!core.CaptureOpen()) {
    core.FormDestroy();
    return kFailure;  // the notice has named the problem
  }
  MainState& state = core.State();
  if (!options.only.empty()) {
    core.Handlers().CheckBox15Click(true);
    EditControl* fields[] = {&state.Edit2, &state.Edit3, &state.Edit4};
    for (std::size_t i = 0; i < 3; ++i) {
      fields[i]->text = i < options.only.size() ? options.only[i] : "---";
    }
  }
  if (!options.pass.empty()) {
    state.CheckBox18.checked = true;
    state.IdPassList = options.pass;
  }
  if (options.tracking) core.Handlers().SpeedButton1Click(true);

  stopSignals.Watch([&loop](int) { loop.Stop(); });
  std::optional<std::chrono::steady_clock::time_point> deadline;
  if (options.seconds) {
    deadline = std::chrono::steady_clock::now() +
               std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                   std::chrono::duration<double>(*options.seconds));
  }
  loop.Run(deadline);

  // As closing the window does, without saving: the receiver's volume and release, then the
  // sound input and the port.
  core.ReleaseReceiverOnClose();
  core.FormDestroy();
#if TARVO_HAVE_MQTT
  if (mqtt) mqtt->Stop();
#endif
  return 0;
}

}  // namespace
}  // namespace tarvo

int main(int argc, char* argv[]) {
  return tarvo::Run(argc, argv);
}
