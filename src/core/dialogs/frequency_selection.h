// The control-channel frequency window TForm2 without its widgets: the keypad, the stored list
// from "freqlist.txt", and the list of line frequencies the decoders have heard.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/base/heard_lines_sink.h"
#include "core/base/main_state.h"
#include "core/base/services.h"
#include "core/dialogs/cp932_decoder.h"

namespace tarvo {

inline constexpr const char* kOutOfRangeMessage = "周波数の設定が範囲外です";
inline constexpr const char* kMissingListMessage = "ファイルがありません";
inline constexpr double kKeypadLowestMHz = 850.0;
inline constexpr double kKeypadHighestMHz = 860.0;

class FrequencySelection : public HeardLinesSink {
 public:
  // `decoder` reads lists kept in CP932; without one such bytes show as replacement marks.
  FrequencySelection(MainState& state, Services services, Cp932Decoder* decoder = nullptr);

  // Start-up: loads ListBox1 from FreqListPath, or while that does not exist from the first
  // shipped list there is (reporting a missing file), and shows the control frequency in Label1.
  void Create();

  // Button1Click .. Button11Click: one keypad key, '0'..'9' or '.'.
  void KeypadKeyClick(char key);
  void Button15Click();           // "ENT"
  void Button12Click();           // "CL"
  void ListBox1Click(int index);  // also the double click
  void Button13Click();           // "メモリ追加"
  void ListBox2Click(int index);  // listen to a heard line
  void Button17Click();           // "制御CH"
  void Button16Click();           // "クリア"
  void AddChList(double frequencyMHz) override;

  // Called when the decoders change ListBox2 between handlers, so the view can repaint.
  void SetHeardLinesListener(std::function<void()> listener) { heardLinesListener_ = listener; }

  std::string KeypadEntry;
  bool KeypadActive = false;
  std::string Label1 = "850.00000";
  std::string Edit1;                  // memo for a new stored entry, typed by the operator
  std::vector<std::string> ListBox1;  // stored entries, in file order
  std::vector<std::string> ListBox2;  // heard lines, "%0.5fMHz"

 private:
  void ReportError(const std::string& text);
  void Tune(const std::string& frequencyText);
  // The operator picked a new control channel: "keypad" or "list".
  void ReportControlChange(const char* reason);

  MainState& state_;
  Services services_;
  Cp932Decoder* decoder_;
  std::function<void()> heardLinesListener_;
};

}  // namespace tarvo
