// Everything the main window shows or holds at run time: the state the decoders, handlers and
// dialogs share, and the controls of TForm1 as the view paints them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/base/colour.h"
#include "core/base/interval_timer.h"

namespace tarvo {

enum class DecoderType { kMcAccess, kJsmr };
// Which demodulator the selected decoder runs: the exact one, or the robust one for weak
// signals.
enum class Demodulation { kExact, kRobust };

struct EditControl {
  std::string text;
  bool enabled = true;
};

struct CheckControl {
  bool checked = false;
  bool enabled = true;
};

struct TrackBarControl {
  int position = 0;
  int min = 0;
  int max = 0;
  bool enabled = true;
};

// A filled bar of an Image with an optional vertical marker line (x < 0: none).
struct LevelBar {
  int length = 0;
  Colour colour = Colour::kBlack;
  int marker = -1;
};

inline const std::vector<std::string> kReceiverModels = {
    "ICOM(CIV)", "ICOM(PCR)",    "AR-5000",   "YAESU(CAT)", "DJ-X2000",
    "DJ-X11",    "AR-8600/8200", "IC-PCR100", "Hamlib",
};

inline constexpr const char* kNoLineFrequency = "---.-----MHz";
inline constexpr int kCompactHeight = 135;
inline constexpr int kFullHeight = 470;

struct MainState {
  // --- Run-time state ---
  std::string ControlFrequencyText = "850.00000";  // caption of Label16
  double ControlFrequency = 850.0;
  double McAccessChannelStep = 0.0125;
  double RasterOffset = 0.0;
  bool OnControlChannel = true;
  bool TrackingOn = false;                       // SpeedButton1 down
  bool MonitorOn = false;                        // SpeedButton2 down
  DecoderType Decoder = DecoderType::kMcAccess;  // RadioButton3 / RadioButton4
  double DecoderPolarity = 1.0;
  Demodulation Demod = Demodulation::kExact;  // DSP / Demod
  double ToneThreshold = 5000.0;
  double MonitorGain = 1.0;
  bool VoiceDetected = false;
  bool CallAudioOpen = false;
  bool CallAudioClosed = true;
  bool JsmrOnLine = false;
  int TuneSettleBlocks = 0;
  int RxLampBlocks = 0;  // blocks since the last accepted McAccess frame, capped at 5
  bool RadioBusy = false;
  bool ReceiverLost = false;  // the receiver's port went away and is being opened again
  int RadioModel = 0;         // item of ComboBox1
  int ComPortIndex = 0;       // item of ComboBox2
  int InputDevice = 0;
  int OutputDevice = 0;
  int SampleRateIndex = 0;
  bool AlwaysOnTop = false;
  int CommandInterval = 15;
  std::string FreqListPath;
  // Lists shipped beside an installed program, read while FreqListPath does not exist yet.
  std::vector<std::string> ShippedFreqListPaths;

  // Shared with the eye-pattern window: the active decoder's filtered samples and bit strobes.
  std::array<double, 512> EyeSamples{};
  std::array<std::uint8_t, 512> EyeStrobes{};

  IntervalTimer Timer1;  // signal-loss watchdog
  IntervalTimer Timer2;  // call-time limit

  // --- Read-outs (GroupBox1) ---
  std::string Label6 = "--";               // base-station number
  std::string Label7 = "－－－－";         // line type
  std::string Label28 = "- 分";            // call time
  std::string Label21 = kNoLineFrequency;  // line frequency
  std::string Label22 = "- / -";           // calls / transmissions

  // --- Lamps (GroupBox3) ---
  Colour Panel1 = Colour::kBlack;  // 受信
  Colour Panel4 = Colour::kBlack;  // 占有
  Colour Panel2 = Colour::kBlack;  // 通話
  Colour Panel3 = Colour::kBlack;  // 制御

  // --- ID controls (GroupBox4) ---
  CheckControl CheckBox15;  // ＩＤ特定受信機能: IdSpecificReception
  EditControl Edit2{"---"};
  EditControl Edit3{"---"};
  EditControl Edit4{"---"};
  CheckControl CheckBox18;              // ＩＤパス: IdPassOn
  std::vector<std::string> IdPassList;  // items of ComboBox4
  EditControl ComboBox4{"---"};         // its shown text and enabled state
  bool Button7Enabled = true;
  bool Button8Enabled = true;

  // --- Settings (GroupBox2) ---
  CheckControl CheckBox1{true};  // 常時手前表示: starts checked whatever the settings say
  TrackBarControl TrackBar1{0, -20, 20};      // input gain, dB
  TrackBarControl TrackBar4{5000, 0, 15000};  // tone detection
  LevelBar Image1;                            // input level
  LevelBar Image3;                            // tone level with the threshold marker
  std::vector<std::string> ComboBox2Items;    // serial ports
  EditControl Edit5{"E0"};                    // CI-V address
  // The "Hamlib" model's rig number, port and line rate; the window shows the number and the
  // port in place of Edit5 and the port list while that model is selected.
  int RigModel = 2;
  std::string RigPort = "localhost:4532";
  int RigRate = 0;
  bool RigBoxesShown = false;

  // --- Audio output (GroupBox5) ---
  bool WaveOutput = true;  // RadioButton1 "WAVE" checked; RadioButton2 "RADIO" otherwise
  TrackBarControl TrackBar3{0, -20, 20};         // monitor gain, dB
  TrackBarControl TrackBar2{80, 0, 255, false};  // receiver volume
  CheckControl CheckBox4{true};                  // BPF
  CheckControl CheckBox5{false};                 // BEF
  CheckControl CheckBox2{false};                 // Demp

  // --- Decoder and input (GroupBox6, GroupBox7) ---
  CheckControl CheckBox3{false, false};  // 反転, enabled only with JSMR
  bool LeftChannel = true;               // RadioButton5 "Lch"; RadioButton6 "Rch" otherwise

  // --- Window ---
  int FormTop = 0;
  int FormLeft = 0;
  int FormHeight = kCompactHeight;

  bool IdSpecificReception() const { return CheckBox15.checked; }
  bool IdPassOn() const { return CheckBox18.checked; }
  bool McAccessSelected() const { return Decoder == DecoderType::kMcAccess; }
};

}  // namespace tarvo
