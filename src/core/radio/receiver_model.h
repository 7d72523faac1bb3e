// The receiver models by their index in the model list (ComboBox1, RadioModel), and the line
// profile each serial one is opened with.
#pragma once

#include <optional>

namespace tarvo {

inline constexpr int kModelIcomCiv = 0;
inline constexpr int kModelIcomPcr = 1;
inline constexpr int kModelAr5000 = 2;
inline constexpr int kModelYaesuCat = 3;
inline constexpr int kModelDjX2000 = 4;
inline constexpr int kModelDjX11 = 5;
inline constexpr int kModelAr8600 = 6;
inline constexpr int kModelIcPcr100 = 7;
// Any rig the rig-control library knows, by its own rig number and port; no serial port of ours.
inline constexpr int kModelHamlib = 8;
inline constexpr int kModelCount = 9;

inline constexpr bool IsReceiverModel(int model) {
  return model >= 0 && model < kModelCount;
}

// The models driven with our own command sets over the serial link.
inline constexpr bool IsSerialModel(int model) {
  return model >= 0 && model < kModelHamlib;
}

// Baud rate and stop bits of a line profile; always 8 data bits and no parity.
struct LineSettings {
  int baud;
  int stopBits;
};

inline constexpr int kProfileNineSixTwoStop = 0;
inline constexpr int kProfilePcrStart = 1;
inline constexpr int kProfilePcrRun = 2;
inline constexpr int kProfileDjX11 = 3;

inline std::optional<LineSettings> LineProfileSettings(int profile) {
  switch (profile) {
    case 0:
      return LineSettings{9600, 2};
    case 1:
      return LineSettings{9600, 1};
    case 2:
      return LineSettings{38400, 1};
    case 3:
      return LineSettings{57600, 1};
    default:
      return std::nullopt;
  }
}

// The profile the receiver's port is opened with; nullopt for an index that is no model.
inline std::optional<int> LineProfileFor(int model) {
  switch (model) {
    case kModelIcomPcr:
    case kModelIcPcr100:
      return kProfilePcrStart;
    case kModelDjX11:
      return kProfileDjX11;
    default:
      if (IsSerialModel(model)) return kProfileNineSixTwoStop;
      return std::nullopt;
  }
}

}  // namespace tarvo
