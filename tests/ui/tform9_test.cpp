#include "ui/tform9.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/recorders.h"
#include "ui/offscreen_application.h"

namespace tarvo {
namespace {

class RecordingDevices : public SoundDeviceControl {
 public:
  void SelectCaptureRate() override { calls.push_back("select rate"); }
  void OpenCaptureInput() override { calls.push_back("open input"); }
  void CloseCaptureInput() override { calls.push_back("close input"); }
  void OpenMonitorOutput() override { calls.push_back("open output"); }
  void CloseMonitorOutput() override { calls.push_back("close output"); }
  std::vector<std::string> calls;
};

class TForm9Test : public ::testing::Test {
 protected:
  TForm9Test() {
    testing::EnsureOffscreenApplication();
    state.InputDevice = 1;
    state.OutputDevice = 2;
    state.SampleRateIndex = 1;
  }

  MainState state;
  testing::RecordingWorld world;
  RecordingDevices devices;
  DeviceLists lists = BuildDeviceLists({"pulse", "default"}, {"pulse", "default", "hw:0"});
};

TEST_F(TForm9Test, ShowsTheListsWithTheCurrentSettingsSelected) {
  TForm9 form(state, world.services(), devices, lists, nullptr);
  EXPECT_EQ(form.windowTitle(), "デバイス設定");
  EXPECT_EQ(form.size(), QSize(290, 188));
  const std::pair<const char*, const char*> captions[] = {
      {"Label1", "入力デバイス"},
      {"Label2", "出力デバイス"},
      {"Label3", "サンプリングレート"},
      {"Button2", "ボリュームコントロール"},
      {"Button1", "OK"},
      {"Button3", "キャンセル"},
  };
  for (const auto& [name, caption] : captions) {
    const auto* widget = form.findChild<QWidget*>(name);
    ASSERT_NE(widget, nullptr) << name;
    const auto* label = qobject_cast<const QLabel*>(widget);
    const auto* button = qobject_cast<const QPushButton*>(widget);
    EXPECT_EQ(label != nullptr ? label->text() : button->text(), QString::fromUtf8(caption));
  }
  EXPECT_EQ(form.ComboBox1->itemText(0), "標準の入力デバイス");
  EXPECT_EQ(form.ComboBox2->count(), 4);
  EXPECT_EQ(form.ComboBox3->itemText(2), "44.100kHz 16bit");
  EXPECT_EQ(form.ComboBox1->currentText(), "pulse");
  EXPECT_EQ(form.ComboBox2->currentText(), "default");
  EXPECT_EQ(form.ComboBox3->currentText(), "22.050kHz 16bit");
  EXPECT_EQ(form.Form4->windowTitle(), "入力デバイス選択");
  EXPECT_EQ(form.Form4->Label1->text(), "録音デバイス再設定中...");
  EXPECT_EQ(form.Form4->size(), QSize(229, 46));
}

TEST_F(TForm9Test, OkAppliesOnlyAChangedChoiceAndTypedTextIsNoItem) {
  struct Case {
    const char* input;  // typed or chosen text of ComboBox1
    int rate;
    int wantInput;
    bool reopened;
  };
  const Case cases[] = {
      {"pulse", 1, 1, false},
      {"pulse", 2, 1, true},
      {"default", 1, 2, true},
      {"no such card", 1, -1, true},
  };
  for (const Case& c : cases) {
    state.InputDevice = 1;
    state.SampleRateIndex = 1;
    devices.calls.clear();
    TForm9 form(state, world.services(), devices, lists, nullptr);
    form.ComboBox1->setCurrentText(QString::fromUtf8(c.input));
    form.ComboBox3->setCurrentIndex(c.rate);
    form.Button1->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(state.InputDevice, c.wantInput) << c.input;
    EXPECT_EQ(state.SampleRateIndex, c.rate) << c.input;
    EXPECT_EQ(devices.calls.empty(), !c.reopened) << c.input;
    EXPECT_FALSE(form.Form4->isVisible());
  }
}

TEST_F(TForm9Test, CancelChangesNothingAndKeepsTheChoiceForNextTime) {
  TForm9 form(state, world.services(), devices, lists, nullptr);
  form.ComboBox3->setCurrentIndex(0);
  form.Button3->click();
  EXPECT_EQ(form.result(), QDialog::Rejected);
  EXPECT_EQ(state.SampleRateIndex, 1);
  EXPECT_TRUE(devices.calls.empty());
  EXPECT_EQ(form.ComboBox3->currentIndex(), 0);
}

}  // namespace
}  // namespace tarvo
