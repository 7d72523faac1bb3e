// tarvo-tune: tunes a receiver through a serial port exactly as the program does when tracking
// starts (opening, preparation, tune) and when it exits (volume, release, close), printing every
// command as hex. For checking a receiver cable without the program.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
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
#include "core/radio/receiver_controller.h"
#include "core/radio/serial_link.h"
#include "platform/termios_serial_device.h"

namespace tarvo {
namespace {

constexpr int kFailure = 2;
constexpr const char* kUsage =
    "usage: tarvo-tune --model NAME (--port PATH | --print) [--address HEX] [--volume 0-255] "
    "FREQ_MHZ";

struct Options {
  std::string model;
  std::string port;
  bool print = false;
  std::string address = "4A";  // what a fresh settings file gives
  int volume = 0;
  std::string frequency;
};

int Fail(const std::string& text) {
  std::fprintf(stderr, "tarvo-tune: %s\n", text.c_str());
  return kFailure;
}

std::optional<int> ParseLevel(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > 255) {
    return std::nullopt;
  }
  return value;
}

// Empty on success, else the problem.
std::string ParseArguments(int argc, char* argv[], Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool takesValue =
        arg == "--model" || arg == "--port" || arg == "--address" || arg == "--volume";
    if (takesValue && i + 1 >= argc) return std::string(arg) + " needs a value";
    if (arg == "--model") {
      options.model = argv[++i];
    } else if (arg == "--port") {
      options.port = argv[++i];
    } else if (arg == "--address") {
      options.address = argv[++i];
    } else if (arg == "--volume") {
      const auto level = ParseLevel(argv[++i]);
      if (!level) return "--volume takes a level from 0 to 255";
      options.volume = *level;
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

// The one port the operator named, listed as the port list's only entry.
class NamedPort : public SerialDevice {
 public:
  NamedPort(SerialDevice& device, std::string path) : device_(device), path_(std::move(path)) {}
  std::vector<SerialPort> ListPorts() override { return {{path_, path_}}; }
  SerialOpenStep Open(const std::string& path, int profile) override {
    return device_.Open(path, profile);
  }
  bool SetLineRate(int baud) override { return device_.SetLineRate(baud); }
  int OutputQueueCount() override { return device_.OutputQueueCount(); }
  SerialWrite WriteByte(std::uint8_t byte) override { return device_.WriteByte(byte); }
  void Close() override { device_.Close(); }

 private:
  SerialDevice& device_;
  std::string path_;
};

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
  if (BuildTune(state, state.RadioModel, state.ControlFrequencyText).empty()) {
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
