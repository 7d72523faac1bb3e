#include "core/radio/command_builders.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <initializer_list>

#include "core/radio/frequency_encodings.h"
#include "core/radio/receiver_model.h"

namespace tarvo {
namespace {

constexpr double kIcomHighestMegahertz = 1999.9999;
constexpr int kPcrRunBaud = 38400;
constexpr int kPcrRateSettleMs = 500;

std::string Frame(std::initializer_list<std::uint8_t> bytes) {
  std::string frame;
  for (const std::uint8_t b : bytes) frame += static_cast<char>(b);
  return frame;
}

void AddTexts(CommandList& commands, std::initializer_list<const char*> texts) {
  for (const char* text : texts) commands.push_back(SerialCommand::Text(text));
}

// The ten-digit hertz string, or nothing above the ICOM limit.
std::optional<std::string> IcomHertzDigits(const std::string& frequencyText) {
  const auto megahertz = ParseMegahertz(frequencyText);
  if (!megahertz || *megahertz > kIcomHighestMegahertz) return std::nullopt;
  return TenDigitHertz(*megahertz);
}

CommandList CivTune(const MainState& state, const std::string& frequencyText) {
  const auto digits = IcomHertzDigits(frequencyText);
  if (!digits) return {};
  const std::uint8_t address = CivAddress(state.Edit5.text);
  const auto f = CivFrequencyBytes(*digits);
  return {
      SerialCommand::Bytes(
          Frame({0xFE, 0xFE, address, 0xE0, 0x05, f[0], f[1], f[2], f[3], f[4], 0xFD})),
      SerialCommand::Bytes(Frame({0xFE, 0xFE, address, 0xE0, 0x06, 0x05, 0x02, 0xFD})),
  };
}

CommandList CivSetLevel(const MainState& state, int level) {
  // Four decimal digits packed as two BCD bytes: 255 -> 02 55.
  const int high = level / 1000 << 4 | level / 100 % 10;
  const int low = level / 10 % 10 << 4 | level % 10;
  return {SerialCommand::Bytes(
      Frame({0xFE, 0xFE, CivAddress(state.Edit5.text), 0xE0, 0x14, 0x01,
             static_cast<std::uint8_t>(high), static_cast<std::uint8_t>(low), 0xFD}))};
}

CommandList PcrTune(const std::string& frequencyText) {
  const auto digits = IcomHertzDigits(frequencyText);
  if (!digits) return {};
  return {SerialCommand::Text("K0" + *digits + "050100\r\n")};
}

CommandList PcrSetLevel(int level) {
  char text[16];
  std::snprintf(text, sizeof text, "J40%02X\r\n", static_cast<unsigned>(level));
  return {SerialCommand::Text(text)};
}

CommandList PcrPrepare(const MainState& state) {
  CommandList commands;
  AddTexts(commands, {" \r\n", "H101\r\n", "G105\r\n", "G300\r\n", "H1?\r\n"});
  commands.push_back(SerialCommand::LineRate(kPcrRunBaud));
  commands.push_back(SerialCommand::Pause(kPcrRateSettleMs));
  AddTexts(commands, {"H101\r\n", "G4?\r\n", "G105\r\n", "G300\r\n", "H1?\r\n", "G301\r\n",
                      "H1?\r\n", "GE?\r\n", "GD?\r\n"});
  for (SerialCommand& tune : PcrTune(state.ControlFrequencyText)) {
    commands.push_back(std::move(tune));
  }
  AddTexts(commands, {"J4100\r\n", "J5100\r\n", "J5000\r\n", "J4380\r\n", "J4500\r\n", "J4600\r\n",
                      "J4700\r\n", "J4A80\r\n", "LD82000\r\n", "J4000\r\n", "LE20050\r\n",
                      "LE20040\r\n", "H1?\r\n"});
  return commands;
}

CommandList YaesuTune(const std::string& frequencyText) {
  const auto megahertz = ParseMegahertz(frequencyText);
  if (!megahertz) return {};
  const auto number = YaesuFrequencyNumber(*megahertz);
  if (!number) return {};
  return {SerialCommand::Bytes(
      Frame({static_cast<std::uint8_t>(*number >> 24), static_cast<std::uint8_t>(*number >> 16),
             static_cast<std::uint8_t>(*number >> 8), static_cast<std::uint8_t>(*number), 0x01}))};
}

CommandList DjX2000Tune(const MainState& state, const std::string& frequencyText) {
  const auto megahertz = ParseMegahertz(frequencyText);
  if (!megahertz) return {};
  // Eight keys whatever the text's length: below 100 MHz the last key is empty, from 1000 MHz
  // the last digit is never keyed.
  const std::string shown = FormatFixed(*megahertz, 4);
  std::string keys;
  for (std::size_t i = 0; i < 8; ++i) {
    keys += "KEY ";
    if (i < shown.size()) keys += shown[i];
    keys += "\r\n";
  }
  keys += "KEY ENT\r\n";
  return {SerialCommand::Text(keys, state.CommandInterval)};
}

CommandList DjX11Tune(const std::string& frequencyText) {
  const auto megahertz = ParseMegahertz(frequencyText);
  if (!megahertz) return {};
  const auto hertz = DjX11Hertz(*megahertz);
  if (!hertz) return {};
  char text[32];
  std::snprintf(text, sizeof text, "AL~FW0%010lld\r\n", static_cast<long long>(*hertz));
  return {SerialCommand::Text(text)};
}

}  // namespace

CommandList BuildTune(const MainState& state, int model, const std::string& frequencyText) {
  switch (model) {
    case kModelIcomCiv:
      return CivTune(state, frequencyText);
    case kModelIcomPcr:
    case kModelIcPcr100:
      return PcrTune(frequencyText);
    case kModelAr5000:
      return {SerialCommand::Text("RF" + frequencyText + "\r\n"), SerialCommand::Text("MD0\r\n"),
              SerialCommand::Text("BW2\r\n")};
    case kModelAr8600:
      return {SerialCommand::Text("RF" + frequencyText + "\r\n"), SerialCommand::Text("MD1\r\n")};
    case kModelYaesuCat:
      return YaesuTune(frequencyText);
    case kModelDjX2000:
      return DjX2000Tune(state, frequencyText);
    case kModelDjX11:
      return DjX11Tune(frequencyText);
    default:
      return {};
  }
}

CommandList BuildSetLevel(const MainState& state, int model, int level) {
  level = std::clamp(level, 0, 255);
  switch (model) {
    case kModelIcomCiv:
      return CivSetLevel(state, level);
    case kModelIcomPcr:
      return PcrSetLevel(level);
    case kModelIcPcr100:
      if (level == 0) return {};
      return PcrSetLevel(level);
    case kModelAr5000:
      // On or off only: any level above 0 opens the audio fully.
      return {SerialCommand::Text(level == 0 ? "DA255\r\n" : "DA000\r\n")};
    default:
      return {};
  }
}

CommandList BuildPrepare(const MainState& state, int model) {
  switch (model) {
    case kModelIcomPcr:
    case kModelIcPcr100:
      return PcrPrepare(state);
    case kModelYaesuCat:
      return {SerialCommand::Bytes(std::string(5, '\0'))};
    case kModelDjX2000:
      return {SerialCommand::Text("START\r\n")};
    default:
      return {};
  }
}

CommandList BuildRelease(int model) {
  switch (model) {
    case kModelIcomPcr:
    case kModelIcPcr100:
      return {SerialCommand::Text("H100\r\n")};
    case kModelYaesuCat:
      return {SerialCommand::Bytes(Frame({0x00, 0x00, 0x00, 0x00, 0x80}))};
    case kModelDjX2000:
      return {SerialCommand::Text("Q\r\n")};
    default:
      return {};
  }
}

}  // namespace tarvo
