// tarvo-tune: tunes a receiver through a serial port exactly as the program does when tracking
// starts (opening, preparation, tune) and when it exits (volume, release, close), printing every
// command as hex, or a rig through hamlib, printing what it was told. For checking a receiver
// cable or a rig daemon without the program.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/null_services.h"
#include "core/base/clock.h"
#include "core/base/control_frequency.h"
#include "core/base/main_state.h"
#include "core/base/megahertz_text.h"
#include "core/base/notice.h"
#include "core/base/services.h"
#include "core/base/steady_clock.h"
#include "core/radio/command_builders.h"
#include "core/radio/named_port.h"
#include "core/radio/receiver_controller.h"
#include "core/radio/receiver_model.h"
#include "core/radio/rig_device.h"
#include "core/radio/rig_worker.h"
#include "core/radio/serial_link.h"
#include "platform/termios_serial_device.h"
#if TARVO_HAVE_HAMLIB
#include "platform/hamlib_rig.h"
#endif
#include "tarvo_version.h"

namespace tarvo {
namespace {

constexpr int kFailure = 2;
constexpr const char* kUsage =
    "usage: tarvo-tune --model NAME (--port PATH | --print) [--address HEX] [--volume 0-255] "
    "FREQ_MHZ\n"
    "       tarvo-tune --model Hamlib [--rig N] (--port PATH|HOST:PORT | --print) [--rate BAUD] "
    "[--volume 0-255] FREQ_MHZ";
constexpr const char* kHelp =
    "Sends a receiver what Tarvo sends when tracking starts on FREQ_MHZ (preparation, tune) and\n"
    "when it exits (volume, release), printing each command as hex bytes.\n"
    "\n"
    "  --model NAME      receiver model: ICOM(CIV), ICOM(PCR), AR-5000, YAESU(CAT), DJ-X2000,\n"
    "                    DJ-X11, AR-8600/8200, IC-PCR100, Hamlib\n"
    "  --port PATH       serial port of the receiver, e.g. /dev/ttyUSB0; for Hamlib also\n"
    "                    HOST:PORT of a network rig (rigctld)\n"
    "  --rig N           hamlib rig model number for Hamlib (default 2, NET rigctl)\n"
    "  --rate BAUD       serial line rate for Hamlib (default: the rig's own)\n"
    "  --print           print the commands without opening a port\n"
    "  --address HEX     CI-V address for ICOM(CIV) (default 4A)\n"
    "  --volume 0-255    receiver volume left on exit (default 0, muted)\n"
    "  --help            print this help\n"
    "  --version         print the version\n";

struct Options {
  std::string model;
  std::string port;
  bool print = false;
  std::string address = "4A";  // what a fresh settings file gives
  int volume = 0;
  int rig = 2;   // hamlib's NET rigctl, as a fresh settings file gives
  int rate = 0;  // the rig's own default
  std::string frequency;
};

int Fail(const std::string& text) {
  std::fprintf(stderr, "tarvo-tune: %s\n", text.c_str());
  return kFailure;
}

std::optional<int> ParseNumber(std::string_view text, int low, int high) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

// Empty on success, else the problem.
std::string ParseArguments(int argc, char* argv[], Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::printf("%s\n%s", kUsage, kHelp);
      std::exit(0);
    }
    if (arg == "--version") {
      std::printf("tarvo-tune %s\n", kTarvoVersion);
      std::exit(0);
    }
    const bool takesValue = arg == "--model" || arg == "--port" || arg == "--address" ||
                            arg == "--volume" || arg == "--rig" || arg == "--rate";
    if (takesValue && i + 1 >= argc) return std::string(arg) + " needs a value";
    if (arg == "--model") {
      options.model = argv[++i];
    } else if (arg == "--port") {
      options.port = argv[++i];
    } else if (arg == "--address") {
      options.address = argv[++i];
    } else if (arg == "--volume") {
      const auto level = ParseNumber(argv[++i], 0, 255);
      if (!level) return "--volume takes a level from 0 to 255";
      options.volume = *level;
    } else if (arg == "--rig") {
      const auto rig = ParseNumber(argv[++i], 1, 999999);
      if (!rig) return "--rig takes a hamlib rig number";
      options.rig = *rig;
    } else if (arg == "--rate") {
      const auto rate = ParseNumber(argv[++i], 0, 10000000);
      if (!rate) return "--rate takes a line rate in baud";
      options.rate = *rate;
    } else if (arg == "--print") {
      options.print = true;
    } else if (arg.starts_with("--") || !options.frequency.empty()) {
      return "unexpected argument " + std::string(arg);
    } else {
      options.frequency = arg;
    }
  }
  if (options.model.empty() || options.frequency.empty())
    return "a model and a frequency are needed";
  if (options.print == !options.port.empty()) return "give either --port PATH or --print";
  return {};
}

// Keeps the lines to print until the port has proved it opens.
class HexTrace : public SerialTrace {
 public:
  void CommandWritten(std::string_view command, std::size_t bytesWritten) override {
    std::string line;
    char hex[4];
    for (std::size_t i = 0; i < bytesWritten; ++i) {
      std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(command[i]));
      if (!line.empty()) line += ' ';
      line += hex;
    }
    if (bytesWritten > 0) lines.push_back(line);
    if (bytesWritten < command.size()) incomplete = true;
  }
  void LineRateSet(int baud) override { lines.push_back("# rate " + std::to_string(baud)); }

  std::vector<std::string> lines;
  bool incomplete = false;
};

class RecordedNotice : public Notice {
 public:
  void Beep() override {}
  void ShowError(const std::string& text) override { errors.push_back(text); }
  std::vector<std::string> errors;
};

// Printing only: pauses and key intervals would only delay the listing.
class NoWaitClock : public SteadyClock {
 public:
  void SleepMs(int) override {}
};

// Notes what the rig took, as rigctl's commands: "# hamlib N PATH", "F <hertz>", "L AF <level>".
class RigLines : public RigDevice {
 public:
  explicit RigLines(RigDevice* rig) : rig_(rig) {}
  bool Open(const RigTarget& target) override {
    if (rig_ != nullptr && !rig_->Open(target)) return false;
    char head[48];
    std::snprintf(head, sizeof head, "# hamlib %d ", target.rig);
    std::string line = head + target.port;
    if (target.rate > 0) line.append(" ").append(std::to_string(target.rate));
    lines.push_back(line);
    return true;
  }
  bool SetModeFm() override { return rig_ == nullptr || rig_->SetModeFm(); }
  bool SetFrequency(std::int64_t hertz) override {
    if (rig_ != nullptr && !rig_->SetFrequency(hertz)) return false;
    lines.push_back("F " + std::to_string(hertz));
    return true;
  }
  bool SetVolume(double level) override {
    if (rig_ != nullptr && !rig_->SetVolume(level)) return false;
    char text[32];
    std::snprintf(text, sizeof text, "L AF %.6f", level);
    lines.push_back(text);
    return true;
  }
  void Close() override {
    if (rig_ != nullptr) rig_->Close();
  }
  std::string LastError() const override { return rig_ != nullptr ? rig_->LastError() : ""; }

  std::vector<std::string> lines;

 private:
  RigDevice* rig_;  // null: print only
};

// The "Hamlib" model: open, tune and exit as the program does, through the same rig worker.
int RunHamlib(const Options& options, MainState& state, Services services) {
  state.RigModel = options.rig;
  state.RigPort = options.port.empty() ? "localhost:4532" : options.port;
  state.RigRate = options.rate;
#if TARVO_HAVE_HAMLIB
  HamlibRig hamlib;
  RigLines rig(options.print ? nullptr : &hamlib);
#else
  if (!options.print) return Fail("this build has no hamlib");
  RigLines rig(nullptr);
#endif
  NullSerialDevice nowhere;
  SerialLink link(nowhere, state, services);
  RigWorker worker(rig);
  ReceiverController controller(state, link, services, &worker);

  controller.StartReceiver();
  worker.WaitIdle();
  // The reasons for a rig that did not open name its port.
  if (const auto failures = worker.TakeFailures(); !failures.empty()) {
    return Fail(failures.front().reason);
  }
  controller.TuneReceiver(state.ControlFrequencyText, state.RadioModel);
  controller.ReleaseOnFormClose();
  worker.WaitIdle();
  const std::vector<RigFailure> failures = worker.TakeFailures();
  for (const std::string& line : rig.lines) std::printf("%s\n", line.c_str());
  if (!failures.empty()) return Fail(state.RigPort + ": " + failures.front().reason);
  return 0;
}

int Run(int argc, char* argv[]) {
  Options options;
  if (const std::string problem = ParseArguments(argc, argv, options); !problem.empty()) {
    std::fprintf(stderr, "%s\n", kUsage);
    return Fail(problem);
  }

  MainState state;
  const auto model = std::find(kReceiverModels.begin(), kReceiverModels.end(), options.model);
  if (model == kReceiverModels.end()) return Fail("unknown model " + options.model);
  state.RadioModel = static_cast<int>(model - kReceiverModels.begin());
  state.Edit5.text = options.address;
  state.TrackBar2.position = options.volume;
  const auto megahertz = MegahertzValue(options.frequency);
  // What rounds to 0.00000 in the sent text is no frequency either ("0.000001", "1e-300").
  if (!megahertz || !std::isfinite(*megahertz) || *megahertz <= 0.0 ||
      FormatMegahertz(*megahertz) == FormatMegahertz(0.0)) {
    return Fail(options.frequency + " is not a frequency in MHz");
  }
  state.ControlFrequencyText = FormatMegahertz(*megahertz);
  if (state.RadioModel != kModelHamlib &&
      BuildTune(state, state.RadioModel, state.ControlFrequencyText).empty()) {
    return Fail(options.model + " cannot tune to " + state.ControlFrequencyText + " MHz");
  }

  RecordedNotice notice;
  NullEventPump pump;
  SteadyClock steadyClock;
  NoWaitClock printClock;
  Services services;
  services.notice = &notice;
  services.pump = &pump;
  services.clock = options.print ? static_cast<Clock*>(&printClock) : &steadyClock;
  if (state.RadioModel == kModelHamlib) return RunHamlib(options, state, services);

  TermiosSerialDevice termios;
  NullSerialDevice nowhere;
  NamedPort port(options.print ? static_cast<SerialDevice&>(nowhere) : termios, options.port);
  SerialLink link(port, state, services);
  HexTrace trace;
  link.SetTrace(&trace);
  ReceiverController controller(state, link, services);

  link.ListSerialPorts();
  state.ComPortIndex = 0;
  controller.StartReceiver();
  if (!notice.errors.empty()) {
    link.CloseSerialPort();
    std::string reason = notice.errors.front();
    reason.erase(0, reason.find_first_not_of(' '));
    return Fail(options.port + ": " + reason);
  }
  controller.TuneReceiver(state.ControlFrequencyText, state.RadioModel);
  controller.ReleaseOnFormClose();
  link.CloseSerialPort();

  for (const std::string& line : trace.lines) std::printf("%s\n", line.c_str());
  if (trace.incomplete) return Fail(options.port + ": the port stopped taking bytes");
  return 0;
}

}  // namespace
}  // namespace tarvo

int main(int argc, char* argv[]) {
  return tarvo::Run(argc, argv);
}
