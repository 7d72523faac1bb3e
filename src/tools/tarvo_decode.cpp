// tarvo-decode: runs a WAV recording of receiver audio through the capture front-end and a
// control-channel decoder and prints one JSON line per accepted frame.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/audio/capture_front_end.h"
#include "core/audio/wav_file.h"
#include "core/base/channel_grid.h"
#include "core/base/control_frequency.h"
#include "core/base/main_state.h"
#include "core/base/megahertz_text.h"
#include "core/base/services.h"
#include "core/decode/bit_fields.h"
#include "core/decode/demodulator_choice.h"
#include "core/decode/jsmr_demodulator.h"
#include "core/decode/jsmr_fields.h"
#include "core/decode/jsmr_robust_demodulator.h"
#include "core/decode/mcaccess_demodulator.h"
#include "core/decode/mcaccess_interpreter.h"
#include "core/decode/mcaccess_robust_demodulator.h"
#include "core/dsp/filter_designs.h"
#include "tarvo_version.h"

namespace tarvo {
namespace {

constexpr int kUsageError = 2;
constexpr const char* kUsage =
    "usage: tarvo-decode [--decoder mcaccess|jsmr] [--demod exact|robust] [--invert] "
    "[--channel left|right] [--gain DB] [--control FREQ] FILE.wav|-";
constexpr const char* kHelp =
    "Decodes a WAV recording of a receiver's discriminator audio (16-bit PCM, 11025, 22050 or\n"
    "44100 Hz) and prints one JSON object per line for every accepted frame. FILE - reads\n"
    "standard input.\n"
    "\n"
    "  --decoder mcaccess|jsmr  the control-channel decoder (default mcaccess)\n"
    "  --demod exact|robust     the demodulator: exact, or robust for weak signals\n"
    "                           (default exact)\n"
    "  --channel left|right     which side of a stereo recording (default left)\n"
    "  --gain DB                input gain in whole decibels, -20 to 20 (default 0)\n"
    "  --control FREQ           control-channel frequency in MHz, which decides the line\n"
    "                           frequencies' raster (default 850.00000)\n"
    "  --invert                 the data upside down (JSMR only)\n"
    "  --help                   print this help\n"
    "  --version                print the version\n";

// A decoder as the tool runs it: the block decoder the front-end hands blocks to, and the JSON
// fields of each frame it accepted during the last block.
class DecoderRun {
 public:
  virtual ~DecoderRun() = default;
  virtual DecoderType Type() const = 0;
  virtual BlockDecoder& Decoder() = 0;
  // Appends one line's fields after "t" and "decoder" (each starting with a comma) per frame
  // accepted since the last call, and forgets them.
  virtual std::vector<std::string> TakeFrames() = 0;
};

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

class McAccessRun : public DecoderRun, private McAccessFrameSink {
 public:
  McAccessRun(MainState& state, const FilterDesigns& designs, const Services& services)
      : state_(state),
        exact_(state, designs, services, *this),
        robust_(state, designs, services, *this),
        choice_(state, exact_, robust_) {}

  DecoderType Type() const override { return DecoderType::kMcAccess; }
  BlockDecoder& Decoder() override { return choice_; }
  std::vector<std::string> TakeFrames() override { return std::move(frames_); }

 private:
  void InterpretMcAccessFrame(const McAccessWord& word) override {
    std::string bits;
    for (const auto bit : word) bits += bit ? '1' : '0';
    // The same reading that fills the program's read-outs; a frame carries only its type's fields.
    const McAccessFields f = ReadMcAccessFields(word, state_.McAccessChannelStep, callMinutes_);
    if (f.minutes) callMinutes_ = *f.minutes;
    std::string line = ",\"bits\":" + JsonString(bits) + ",\"station\":" + JsonString(f.station) +
                       ",\"type\":" + JsonString(f.type);
    if (!f.id.empty()) line += ",\"id\":" + JsonString(f.id);
    if (!f.line.empty()) line += ",\"line\":" + JsonString(f.line);
    if (!f.lineType.empty()) line += ",\"linetype\":" + JsonString(f.lineType);
    if (f.minutes) line += ",\"minutes\":" + std::to_string(*f.minutes);
    if (f.calls) line += ",\"calls\":" + std::to_string(*f.calls);
    if (f.transmissions) line += ",\"transmissions\":" + std::to_string(*f.transmissions);
    if (f.control) line += ",\"control\":true";
    frames_.push_back(line);
  }

  MainState& state_;
  McAccessDemodulator exact_;
  McAccessRobustDemodulator robust_;
  DemodulatorChoice choice_;
  std::vector<std::string> frames_;
  int callMinutes_ = 0;  // the call-time limit learnt so far
};

// JSMR words with their fields and, for a channel that names one, the line frequency on the
// raster of the control frequency in the state.
class JsmrRun : public DecoderRun, private JsmrWordSink {
 public:
  JsmrRun(MainState& state, const FilterDesigns& designs, const Services& services)
      : state_(state),
        exact_(state, designs, services, *this),
        robust_(state, services, *this),
        choice_(state, exact_, robust_) {}

  DecoderType Type() const override { return DecoderType::kJsmr; }
  BlockDecoder& Decoder() override { return choice_; }
  std::vector<std::string> TakeFrames() override { return std::move(frames_); }

 private:
  void InterpretJsmrWord(const JsmrWord& word) override {
    std::string bits;
    for (const auto bit : word) bits += bit ? '1' : '0';
    const JsmrWordFields fields = ParseJsmrWord(word);
    std::string line =
        ",\"bits\":" + JsonString(bits) +
        ",\"id\":" + JsonString(HexText(static_cast<std::uint32_t>(fields.id), 8)) +
        ",\"station\":" + JsonString(HexText(static_cast<std::uint32_t>(fields.station), 8)) +
        ",\"channel\":" + std::to_string(fields.channel);
    if (fields.channel < kJsmrChannels) {
      line += ",\"line\":" +
              JsonString(FormatMegahertz(JsmrLineFrequency(fields.channel, state_.RasterOffset)));
    }
    frames_.push_back(line);
  }
  void SuperviseJsmrLine(InputBlock&) override {}

  MainState& state_;
  JsmrDemodulator exact_;
  JsmrRobustDemodulator robust_;
  DemodulatorChoice choice_;
  std::vector<std::string> frames_;
};

struct DecoderEntry {
  const char* name;
  std::unique_ptr<DecoderRun> (*make)(MainState&, const FilterDesigns&, const Services&);
};

const DecoderEntry kDecoders[] = {
    {"mcaccess",
     [](MainState& s, const FilterDesigns& d, const Services& v) -> std::unique_ptr<DecoderRun> {
       return std::make_unique<McAccessRun>(s, d, v);
     }},
    {"jsmr",
     [](MainState& s, const FilterDesigns& d, const Services& v) -> std::unique_ptr<DecoderRun> {
       return std::make_unique<JsmrRun>(s, d, v);
     }},
};

// Stands in for the decoder that is not selected.
class IdleDecoder : public BlockDecoder {
 public:
  void DecodeBlock(InputBlock&) override {}
};

struct Options {
  std::string decoder = "mcaccess";
  Demodulation demod = Demodulation::kExact;
  bool left = true;
  int gainDb = 0;
  std::string control = "850.00000";  // decides the channel step of line frequencies
  bool invert = false;
  std::string file;
};

// Parses the command line; on a mistake prints it with the usage and exits.
Options ParseArguments(int argc, char** argv) {
  Options options;
  auto fail = [](const std::string& problem) {
    std::cerr << "tarvo-decode: " << problem << "\n" << kUsage << "\n";
    std::exit(kUsageError);
  };
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) fail(arg + " needs a value");
      return argv[++i];
    };
    if (arg == "--decoder") {
      options.decoder = value();
      bool known = false;
      for (const auto& entry : kDecoders) known = known || options.decoder == entry.name;
      if (!known) fail("unknown decoder '" + options.decoder + "'");
    } else if (arg == "--demod") {
      const std::string demod = value();
      if (demod != "exact" && demod != "robust") fail("--demod is exact or robust");
      options.demod = demod == "robust" ? Demodulation::kRobust : Demodulation::kExact;
    } else if (arg == "--channel") {
      const std::string channel = value();
      if (channel != "left" && channel != "right") fail("--channel is left or right");
      options.left = channel == "left";
    } else if (arg == "--gain") {
      const std::string text = value();
      std::istringstream in(text);
      int db = 0;
      if (!(in >> db) || !in.eof() || db < -20 || db > 20) {
        fail("--gain takes whole decibels from -20 to 20, not '" + text + "'");
      }
      options.gainDb = db;
    } else if (arg == "--invert") {
      options.invert = true;
    } else if (arg == "--control") {
      options.control = value();
      if (!ExactNanoMegahertz(options.control)) {
        fail("--control takes a frequency in MHz, not '" + options.control + "'");
      }
    } else if (arg == "-h" || arg == "--help") {
      std::cout << kUsage << "\n" << kHelp;
      std::exit(0);
    } else if (arg == "--version") {
      std::cout << "tarvo-decode " << kTarvoVersion << "\n";
      std::exit(0);
    } else if (arg.size() > 1 && arg[0] == '-') {  // "-" alone is standard input
      fail("unknown option '" + arg + "'");
    } else if (!options.file.empty()) {
      fail("one recording at a time");
    } else {
      options.file = arg;
    }
  }
  if (options.file.empty()) fail("no recording given");
  if (options.decoder != "jsmr" && options.invert) fail("--invert is for --decoder jsmr");
  return options;
}

// Where the recording comes from: the named file, or standard input for "-".
struct Input {
  std::ifstream file;
  std::istream* stream = nullptr;
  std::string name;  // as messages show it
  std::string problem;
};

void OpenInput(const std::string& path, Input& input) {
  if (path == "-") {
    input.stream = &std::cin;
    input.name = "standard input";
    return;
  }
  input.name = path;
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    input.problem = "is a directory";
    return;
  }
  input.file.open(path, std::ios::binary);
  if (!input.file) {
    input.problem = "cannot open: " + std::string(std::strerror(errno));
    return;
  }
  input.stream = &input.file;
}

int Run(const Options& options) {
  Input input;
  OpenInput(options.file, input);
  WavReader wav(input.stream != nullptr ? *input.stream : std::cin);
  if (input.problem.empty()) input.problem = wav.ReadHeader();
  if (!input.problem.empty()) {
    std::cerr << "tarvo-decode: " << input.name << ": " << input.problem << "\n";
    return kUsageError;
  }

  MainState state;
  state.LeftChannel = options.left;
  state.TrackBar1.position = options.gainDb;
  const FilterDesigns designs = ComputeFilterDesigns();
  const Services services;  // nothing to play, tune or draw
  std::unique_ptr<DecoderRun> run;
  for (const auto& entry : kDecoders) {
    if (options.decoder == entry.name) run = entry.make(state, designs, services);
  }
  state.Decoder = run->Type();
  state.Demod = options.demod;
  state.ControlFrequencyText = options.control;
  state.ControlFrequency = MegahertzValue(options.control).value_or(0.0);
  DeriveChannelGrid(state, options.control);
  state.CheckBox3.checked = options.invert;
  state.DecoderPolarity = options.invert ? -1.0 : 1.0;
  IdleDecoder idle;
  CaptureFrontEnd frontEnd(state, designs,
                           run->Type() == DecoderType::kMcAccess ? run->Decoder() : idle,
                           run->Type() == DecoderType::kJsmr ? run->Decoder() : idle);

  // Capture buffers as the sound card would deliver them: stereo, mono copied to both
  // channels, the last one filled up with silence.
  const int rate = wav.SampleRate();
  const int rateIndex = rate == 44100 ? 2 : rate == 22050 ? 1 : 0;
  const int frames = SelectCaptureRate(rateIndex).CaptureFrames;
  const int channels = wav.Channels();
  std::vector<std::int16_t> samples(static_cast<std::size_t>(frames) * channels);
  std::vector<std::int16_t> buffer(2 * static_cast<std::size_t>(frames));
  for (std::size_t block = 0;; ++block) {
    const std::size_t got = wav.ReadFrames(samples.data(), static_cast<std::size_t>(frames));
    if (got == 0) break;
    for (int i = 0; i < frames; ++i) {
      const bool present = static_cast<std::size_t>(i) < got;
      buffer[2 * i] = present ? samples[i * channels] : 0;
      buffer[2 * i + 1] = present ? samples[i * channels + channels - 1] : 0;
    }
    frontEnd.ProcessInputBlock(buffer.data(), frames);
    const double t = static_cast<double>(block + 1) * kBlockSamples / 11025.0;
    for (const std::string& fields : run->TakeFrames()) {
      char time[32];
      std::snprintf(time, sizeof time, "%.3f", t);
      std::cout << "{\"t\":" << time << ",\"decoder\":" << JsonString(options.decoder) << fields
                << "}\n";
    }
    if (!std::cout) break;  // nobody can read the rest
  }
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "tarvo-decode: cannot write to standard output: " << std::strerror(errno) << "\n";
    return kUsageError;
  }
  if (wav.Truncated()) {
    std::cerr << "tarvo-decode: " << input.name << ": the data chunk declares "
              << wav.DeclaredDataBytes() << " bytes but holds " << wav.DataBytesRead()
              << "; decoded what is there\n";
  }
  return 0;
}

}  // namespace
}  // namespace tarvo

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);  // block reads from a pipe, not byte by byte
  return tarvo::Run(tarvo::ParseArguments(argc, argv));
}
