#include "core/app/settings.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "core/app/ini_file.h"
#include "core/base/control_frequency.h"
#include "core/base/notice.h"

namespace tarvo {
namespace {

constexpr const char* kDefaultFrequency = "850.00000";
constexpr int kMaxCommandIntervalMs = 1000;

// Decimal, or hexadecimal after "0x"/"0X" when at least one digit follows.
std::optional<int> ParseInteger(const std::string& text) {
  const bool hex = text.size() >= 3 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = hex ? text.substr(2) : text;
  const auto isDigit = [hex](char c) {
    return hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0
               : std::isdigit(static_cast<unsigned char>(c)) != 0;
  };
  const std::size_t first = !hex && !digits.empty() && (digits[0] == '-' || digits[0] == '+');
  if (digits.size() == first || !std::all_of(digits.begin() + first, digits.end(), isDigit)) {
    return std::nullopt;
  }
  errno = 0;
  const long long value = std::strtoll(digits.c_str(), nullptr, hex ? 16 : 10);
  if (errno == ERANGE || value < INT_MIN || value > INT_MAX) return std::nullopt;
  return static_cast<int>(value);
}

class Reader {
 public:
  explicit Reader(IniText text) : text_(std::move(text)) {}
  int Integer(const char* section, const char* key, int fallback) const {
    return ParseInteger(text_.Read(section, key, "")).value_or(fallback);
  }
  bool Boolean(const char* section, const char* key, bool fallback) const {
    return Integer(section, key, fallback ? 1 : 0) != 0;
  }
  void Slider(const char* section, const char* key, int fallback, TrackBarControl& bar) const {
    bar.position = std::clamp(Integer(section, key, fallback), bar.min, bar.max);
  }
  std::string Text(const char* section, const char* key, const char* fallback) const {
    return text_.Read(section, key, fallback);
  }

 private:
  IniText text_;
};

}  // namespace

void LoadSettings(MainState& state, const std::filesystem::path& iniPath, Notice& notice) {
  // Read once, as the file stood at start-up.
  ApplySettings(state, IniFile(iniPath).Contents(), iniPath.string(), notice);
}

void ApplySettings(MainState& s, IniText text, const std::string& fileName, Notice& notice) {
  const Reader r(std::move(text));
  s.RadioModel = r.Integer("RS232C", "Comp", 0);
  s.Edit5.text = r.Text("RS232C", "ICOM", "4A");
  s.ComPortIndex = r.Integer("RS232C", "Com", 0);
  s.InputDevice = r.Integer("WAVE", "InpDev", 0);
  s.OutputDevice = r.Integer("WAVE", "OutDev", 0);
  r.Slider("DSP", "InGain", 0, s.TrackBar1);
  r.Slider("DSP", "SQL", 5000, s.TrackBar4);
  r.Slider("DSP", "OutGain", 0, s.TrackBar3);
  s.CheckBox4.checked = r.Boolean("DSP", "OutBPF", true);
  s.CheckBox5.checked = r.Boolean("DSP", "OutBEF", false);
  s.ControlFrequencyText = r.Text("Etc", "Freq", kDefaultFrequency);
  if (!MegahertzValue(s.ControlFrequencyText)) {
    notice.ShowError(fileName + ": Freq " + ConversionErrorText(s.ControlFrequencyText) +
                     "; using " + kDefaultFrequency);
    s.ControlFrequencyText = kDefaultFrequency;
  }
  s.AlwaysOnTop = r.Boolean("Etc", "Top", false);  // CheckBox1 keeps its layout state
  // Slept on the window thread before every keystroke: a damaged value must not freeze it.
  s.CommandInterval = std::clamp(r.Integer("Etc", "Interval", 15), 0, kMaxCommandIntervalMs);
  s.WaveOutput = !r.Boolean("WAVE", "AudioOut", false);
  r.Slider("WAVE", "OutLevel", 0, s.TrackBar2);
  s.LeftChannel = r.Boolean("WAVE", "InputL", true);
  s.Decoder = r.Boolean("WAVE", "Decode", true) ? DecoderType::kMcAccess : DecoderType::kJsmr;
  s.CheckBox3.checked = r.Boolean("WAVE", "DecInv", false);
  s.CheckBox2.checked = r.Boolean("WAVE", "Demp", false);
  s.SampleRateIndex = r.Integer("WAVE", "SampleRate", 0);
  s.FormTop = r.Integer("Form", "Top", 0);
  s.FormLeft = r.Integer("Form", "Left", 0);
  // The "Hamlib" model's keys came later; a file without them reads as before.
  s.RigModel = r.Integer("RS232C", "Rig", 2);
  s.RigPort = r.Text("RS232C", "RigPort", "localhost:4532");
  s.RigRate = r.Integer("RS232C", "RigRate", 0);
  s.Demod = r.Integer("DSP", "Demod", 0) == 1 ? Demodulation::kRobust : Demodulation::kExact;
}

std::vector<IniEntry> SettingsEntries(const MainState& s) {
  const auto number = [](int value) { return std::to_string(value); };
  const auto flag = [](bool value) { return std::string(value ? "1" : "0"); };
  return {
      {"RS232C", "Comp", number(s.RadioModel)},
      {"RS232C", "ICOM", s.Edit5.text},
      {"RS232C", "Com", number(s.ComPortIndex)},
      {"WAVE", "InpDev", number(s.InputDevice)},
      {"WAVE", "OutDev", number(s.OutputDevice)},
      {"DSP", "InGain", number(s.TrackBar1.position)},
      {"DSP", "SQL", number(s.TrackBar4.position)},
      {"DSP", "OutGain", number(s.TrackBar3.position)},
      {"DSP", "OutBPF", flag(s.CheckBox4.checked)},
      {"DSP", "OutBEF", flag(s.CheckBox5.checked)},
      {"Etc", "Freq", s.ControlFrequencyText},
      {"Etc", "Top", flag(s.AlwaysOnTop)},
      {"Etc", "Interval", number(s.CommandInterval)},
      {"WAVE", "AudioOut", flag(!s.WaveOutput)},
      {"WAVE", "OutLevel", number(s.TrackBar2.position)},
      {"WAVE", "InputL", flag(s.LeftChannel)},
      {"WAVE", "Decode", flag(s.McAccessSelected())},
      {"WAVE", "DecInv", flag(s.CheckBox3.checked)},
      {"WAVE", "Demp", flag(s.CheckBox2.checked)},
      {"WAVE", "SampleRate", number(s.SampleRateIndex)},
      {"Form", "Top", number(s.FormTop)},
      {"Form", "Left", number(s.FormLeft)},
      {"RS232C", "Rig", number(s.RigModel)},
      {"RS232C", "RigPort", s.RigPort},
      {"RS232C", "RigRate", number(s.RigRate)},
      {"DSP", "Demod", number(s.Demod == Demodulation::kRobust ? 1 : 0)},
  };
}

bool SaveSettings(const MainState& state, const std::filesystem::path& iniPath, Notice& notice) {
  // The folder under ~/.config is made by the first save.
  std::error_code ignored;
  std::filesystem::create_directories(iniPath.parent_path(), ignored);
  if (!IniFile(iniPath).WriteAll(SettingsEntries(state))) {
    notice.ShowError("Unable to write to " + iniPath.string());
    return false;
  }
  return true;
}

}  // namespace tarvo
