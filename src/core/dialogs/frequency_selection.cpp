#include "core/dialogs/frequency_selection.h"

#include <algorithm>

#include "core/base/control_frequency.h"
#include "core/base/decimal_number.h"
#include "core/base/megahertz_text.h"
#include "core/base/notice.h"
#include "core/base/tracking_events.h"
#include "core/dialogs/freq_list_file.h"
#include "core/radio/receiver.h"

namespace tarvo {
namespace {

constexpr std::size_t kFrequencyCharacters = 9;  // the rest of a stored entry is a memo

}  // namespace

FrequencySelection::FrequencySelection(MainState& state, Services services, Cp932Decoder* decoder)
    : state_(state), services_(services), decoder_(decoder) {}

void FrequencySelection::Create() {
  ListBox1.clear();
  FreqListRead read = ReadFreqList(state_.FreqListPath, decoder_);
  std::string readPath = state_.FreqListPath;
  // The user's own list wins; until there is one, a list shipped with the program is shown.
  for (const std::string& shipped : state_.ShippedFreqListPaths) {
    if (read.status != FreqListRead::Status::kMissing) break;
    read = ReadFreqList(shipped, decoder_);
    readPath = shipped;
  }
  switch (read.status) {
    case FreqListRead::Status::kRead:
      ListBox1 = read.entries;
      break;
    case FreqListRead::Status::kMissing:
      ReportError(kMissingListMessage);
      break;
    case FreqListRead::Status::kUnreadable:
      ReportError("ファイル " + readPath + " を読み込めません");
      break;
  }
  Label1 = state_.ControlFrequencyText;
}

void FrequencySelection::KeypadKeyClick(char key) {
  if (KeypadActive) {
    KeypadEntry += key;
  } else {
    KeypadEntry = std::string(1, key);
    KeypadActive = true;
  }
  Label1 = KeypadEntry;
}

void FrequencySelection::Button15Click() {
  KeypadActive = true;
  // Any number counts here, however large: one with the point forgotten is out of range.
  const auto value = ParseDecimalNumber(KeypadEntry);
  if (!value) {
    ShowConversionError(*services_.notice, KeypadEntry);
    return;
  }
  if (*value < kKeypadLowestMHz || *value > kKeypadHighestMHz) {
    ReportError(kOutOfRangeMessage);
    KeypadActive = false;
    KeypadEntry.clear();
    Label1 = "850.00000";
    return;
  }
  KeypadActive = false;
  const std::string text = FormatMegahertz(*value);
  Label1 = text;
  state_.ControlFrequencyText = text;
  ReportControlChange("keypad");
  Tune(text);
  ListBox2.clear();
}

void FrequencySelection::Button12Click() {
  KeypadEntry.clear();
  KeypadActive = false;
  Label1 = state_.ControlFrequencyText;
}

void FrequencySelection::ListBox1Click(int index) {
  if (KeypadActive) return;
  if (index < 0 || index >= static_cast<int>(ListBox1.size())) return;
  const std::string text = LeadingCharacters(ListBox1[index], kFrequencyCharacters);
  // A hand-edited entry that is no number would break every later return to the control
  // channel, so it is refused here and the current control frequency stays.
  if (!MegahertzValue(text)) {
    ShowConversionError(*services_.notice, text);
    return;
  }
  state_.Timer1.SetInterval(0);
  state_.Timer2.SetInterval(0);
  state_.ControlFrequencyText = text;
  DeriveChannelGrid(state_, text);
  Label1 = text;
  ReportControlChange("list");
  Tune(text);
  ListBox2.clear();
}

void FrequencySelection::Button13Click() {
  // A line break in the memo would split the entry in two once it is in the file.
  std::string memo = Edit1;
  std::replace_if(
      memo.begin(), memo.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  ListBox1.push_back(Label1 + "MHz " + memo);
  if (!WriteFreqList(state_.FreqListPath, ListBox1)) {
    ReportError("ファイル " + state_.FreqListPath + " を作成できません");
  }
}

void FrequencySelection::ListBox2Click(int index) {
  if (index < 0 || index >= static_cast<int>(ListBox2.size())) return;
  Tune(LeadingCharacters(ListBox2[index], kFrequencyCharacters));
}

void FrequencySelection::Button17Click() {
  Tune(state_.ControlFrequencyText);
}

void FrequencySelection::Button16Click() {
  ListBox2.clear();
}

void FrequencySelection::AddChList(double frequencyMHz) {
  const std::string line = FormatMegahertz(frequencyMHz) + "MHz";
  if (std::find(ListBox2.begin(), ListBox2.end(), line) != ListBox2.end()) return;
  ListBox2.push_back(line);
  if (heardLinesListener_) heardLinesListener_();
}

void FrequencySelection::ReportError(const std::string& text) {
  services_.notice->Beep();
  services_.notice->ShowError(text);
}

void FrequencySelection::ReportControlChange(const char* reason) {
  if (services_.events == nullptr) return;
  TrackingEvent e;
  e.event = "control";
  e.line = state_.ControlFrequencyText;
  e.reason = reason;
  services_.events->Emit(std::move(e), state_.Decoder);
}

void FrequencySelection::Tune(const std::string& frequencyText) {
  services_.receiver->TuneReceiver(frequencyText, state_.RadioModel);
}

}  // namespace tarvo
