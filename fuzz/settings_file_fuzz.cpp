// The settings file reader and writer on any bytes: the keys load, save into the same text and
// load back to the same settings, and the text still holds every key once.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/app/ini_file.h"
#include "core/app/settings.h"
#include "core/base/notice.h"
#include "fuzz_check.h"

namespace {

class QuietNotice : public tarvo::Notice {
 public:
  void Beep() override {}
  void ShowError(const std::string&) override {}
};

bool SameSettings(const tarvo::MainState& a, const tarvo::MainState& b) {
  return a.RadioModel == b.RadioModel && a.Edit5.text == b.Edit5.text &&
         a.ComPortIndex == b.ComPortIndex && a.InputDevice == b.InputDevice &&
         a.OutputDevice == b.OutputDevice && a.TrackBar1.position == b.TrackBar1.position &&
         a.TrackBar2.position == b.TrackBar2.position &&
         a.TrackBar3.position == b.TrackBar3.position &&
         a.TrackBar4.position == b.TrackBar4.position &&
         a.CheckBox2.checked == b.CheckBox2.checked && a.CheckBox3.checked == b.CheckBox3.checked &&
         a.CheckBox4.checked == b.CheckBox4.checked && a.CheckBox5.checked == b.CheckBox5.checked &&
         a.ControlFrequencyText == b.ControlFrequencyText && a.AlwaysOnTop == b.AlwaysOnTop &&
         a.CommandInterval == b.CommandInterval && a.WaveOutput == b.WaveOutput &&
         a.LeftChannel == b.LeftChannel && a.Decoder == b.Decoder &&
         a.SampleRateIndex == b.SampleRateIndex && a.FormTop == b.FormTop &&
         a.FormLeft == b.FormLeft;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  QuietNotice notice;
  tarvo::MainState loaded;
  tarvo::ApplySettings(loaded, tarvo::IniText(bytes), "tarvo.ini", notice);
  FUZZ_CHECK(loaded.CommandInterval >= 0 && loaded.CommandInterval <= 1000);

  tarvo::IniText saved(bytes);
  const auto entries = tarvo::SettingsEntries(loaded);
  for (const auto& entry : entries) saved.Set(entry.section, entry.key, entry.value);
  const std::string written = saved.Bytes();

  // What was saved reads back the same, the texts included.
  tarvo::IniText reread(written);
  tarvo::MainState again;
  tarvo::ApplySettings(again, reread, "tarvo.ini", notice);
  FUZZ_CHECK(SameSettings(loaded, again));
  // Every key is there: a missing one would read as either fallback, a present one as itself.
  for (const auto& entry : entries) {
    FUZZ_CHECK(reread.Read(entry.section, entry.key, "a") ==
               reread.Read(entry.section, entry.key, "b"));
  }
  // A second save changes nothing more.
  tarvo::IniText resaved(written);
  for (const auto& entry : tarvo::SettingsEntries(again)) {
    resaved.Set(entry.section, entry.key, entry.value);
  }
  FUZZ_CHECK(resaved.Bytes() == written);
  return 0;
}
