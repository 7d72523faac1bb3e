#include "core/app/track_options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "core/base/control_frequency.h"
#include "core/base/megahertz_text.h"

namespace tarvo {
namespace {

std::optional<long long> WholeNumber(const std::string& text, int base = 10) {
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
    return std::nullopt;
  }
  return value;
}

std::vector<std::string> SplitIds(const std::string& text) {
  std::vector<std::string> ids;
  std::size_t from = 0;
  while (from <= text.size()) {
    const std::size_t comma = text.find(',', from);
    const std::size_t end = comma == std::string::npos ? text.size() : comma;
    ids.push_back(text.substr(from, end - from));
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  return ids;
}

// IDs compare as the read-outs show them: upper-case hex digits.
std::string CheckIds(const std::string& option, const std::string& text,
                     std::vector<std::string>& ids) {
  ids = SplitIds(text);
  for (std::string& id : ids) {
    if (id.empty() || id.size() > 3 || !WholeNumber(id, 16)) {
      return option + " takes hex IDs separated by commas, not '" + text + "'";
    }
    for (char& c : id) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return "";
}

}  // namespace

std::string ParseTrackOptions(const std::vector<std::string>& args, TrackOptions& o) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const auto value = [&](std::string& out) -> bool {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string v;
    if (arg == "--help" || arg == "-h") {
      o.help = true;
    } else if (arg == "--version") {
      o.version = true;
    } else if (arg == "--invert") {
      o.invert = true;
    } else if (arg == "--no-tracking") {
      o.tracking = false;
    } else if (arg == "--no-log") {
      o.noLog = true;
    } else if (arg == "--demo") {
      o.demo = true;
    } else if (arg == "--config" || arg == "--port" || arg == "--device" || arg == "--log" ||
               arg == "--topic" || arg == "--decoder" || arg == "--channel" || arg == "--control" ||
               arg == "--model" || arg == "--address" || arg == "--rate" || arg == "--only" ||
               arg == "--pass" || arg == "--mqtt" || arg == "--seconds" || arg == "--seed" ||
               arg == "--demod") {
      if (!value(v)) return arg + " needs a value";
      if (arg == "--config") {
        o.config = v;
      } else if (arg == "--port") {
        o.port = v;
      } else if (arg == "--device") {
        o.device = v;
      } else if (arg == "--log") {
        o.log = v;
      } else if (arg == "--topic") {
        if (v.empty() || v.find_first_of("#+") != std::string::npos) {
          return "--topic takes a topic prefix without wildcards, not '" + v + "'";
        }
        o.topic = v;
      } else if (arg == "--decoder") {
        if (v == "mcaccess") {
          o.decoder = DecoderType::kMcAccess;
        } else if (v == "jsmr") {
          o.decoder = DecoderType::kJsmr;
        } else {
          return "--decoder takes mcaccess or jsmr, not '" + v + "'";
        }
      } else if (arg == "--demod") {
        if (v == "exact") {
          o.demod = Demodulation::kExact;
        } else if (v == "robust") {
          o.demod = Demodulation::kRobust;
        } else {
          return "--demod takes exact or robust, not '" + v + "'";
        }
      } else if (arg == "--channel") {
        if (v != "left" && v != "right") return "--channel takes left or right, not '" + v + "'";
        o.leftChannel = v == "left";
      } else if (arg == "--control") {
        const auto mhz = MegahertzValue(v);
        if (!mhz || !std::isfinite(*mhz) || *mhz < 800.0 || *mhz > 1000.0) {
          return "--control takes a frequency in MHz, not '" + v + "'";
        }
        o.control = FormatMegahertz(*mhz);
      } else if (arg == "--model") {
        const auto it = std::find(kReceiverModels.begin(), kReceiverModels.end(), v);
        if (it == kReceiverModels.end()) return "unknown receiver model '" + v + "'";
        o.model = static_cast<int>(it - kReceiverModels.begin());
      } else if (arg == "--address") {
        const auto address = WholeNumber(v, 16);
        if (v.size() > 2 || !address) return "--address takes one hex byte, not '" + v + "'";
        o.address = v;
      } else if (arg == "--rate") {
        if (v == "11025") {
          o.rateIndex = 0;
        } else if (v == "22050") {
          o.rateIndex = 1;
        } else if (v == "44100") {
          o.rateIndex = 2;
        } else {
          return "--rate takes 11025, 22050 or 44100, not '" + v + "'";
        }
      } else if (arg == "--only") {
        if (auto problem = CheckIds(arg, v, o.only); !problem.empty()) return problem;
        if (o.only.size() > 3) return "--only takes at most three IDs";
      } else if (arg == "--pass") {
        if (auto problem = CheckIds(arg, v, o.pass); !problem.empty()) return problem;
      } else if (arg == "--mqtt") {
        const std::size_t colon = v.rfind(':');
        o.mqttHost = v.substr(0, colon);
        if (colon != std::string::npos) {
          const auto port = WholeNumber(v.substr(colon + 1));
          if (!port || *port < 1 || *port > 65535)
            return "--mqtt takes HOST[:PORT], not '" + v + "'";
          o.mqttPort = static_cast<int>(*port);
        }
        if (o.mqttHost.empty()) return "--mqtt takes HOST[:PORT], not '" + v + "'";
      } else if (arg == "--seconds") {
        double seconds = 0.0;
        const auto [end, error] = std::from_chars(v.data(), v.data() + v.size(), seconds);
        if (error != std::errc() || end != v.data() + v.size() || !(seconds >= 0.0) ||
            !std::isfinite(seconds)) {
          return "--seconds takes a number of seconds, not '" + v + "'";
        }
        o.seconds = seconds;
      } else if (arg == "--seed") {
        const auto seed = WholeNumber(v);
        if (!seed || *seed < 0 || *seed > 0xFFFFFFFFll) return "--seed takes a whole number";
        o.seed = static_cast<std::uint32_t>(*seed);
      }
    } else {
      return "unknown option '" + arg + "'";
    }
  }
  if (o.noLog && !o.log.empty()) return "--log and --no-log exclude each other";
  return "";
}

void ApplyTrackOptions(const TrackOptions& o, MainState& s) {
  if (o.decoder) s.Decoder = *o.decoder;
  if (o.demod) s.Demod = *o.demod;
  if (o.invert) s.CheckBox3.checked = true;
  if (o.leftChannel) s.LeftChannel = *o.leftChannel;
  if (o.control) s.ControlFrequencyText = *o.control;
  if (o.model) s.RadioModel = *o.model;
  if (o.address) s.Edit5.text = *o.address;
  if (o.rateIndex) s.SampleRateIndex = *o.rateIndex;
}

}  // namespace tarvo
