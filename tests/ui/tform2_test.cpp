#include "ui/tform2.h"

#include <gtest/gtest.h>

#include "support/file_bytes.h"
#include "support/recorders.h"
#include "support/temp_dir.h"
#include "ui/offscreen_application.h"

namespace tarvo {
namespace {

using testing::EnsureOffscreenApplication;

TEST(TForm2, ControlsCarryTheirNamesAndCaptions) {
  EnsureOffscreenApplication();
  testing::RecordingWorld world;
  MainState state;
  FrequencySelection core(state, world.services());
  TForm2 form(core, nullptr, nullptr);
  EXPECT_EQ(form.windowTitle(), "制御局周波数選択");
  EXPECT_EQ(form.size(), QSize(521, 172));
  EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
  const std::pair<const char*, const char*> captions[] = {
      {"Button1", "1"},           {"Button9", "9"},       {"Button10", "."},
      {"Button11", "0"},          {"Button15", "ENT"},    {"Button12", "CL"},
      {"Button13", "メモリ追加"}, {"Button17", "制御CH"}, {"Button16", "クリア"},
  };
  for (const auto& [name, caption] : captions) {
    const auto* button = form.findChild<QPushButton*>(name);
    ASSERT_NE(button, nullptr) << name;
    EXPECT_EQ(button->text(), QString::fromUtf8(caption)) << name;
  }
  for (const char* name : {"ListBox1", "ListBox2", "Edit1", "Panel1", "Panel2", "Label1"}) {
    EXPECT_NE(form.findChild<QWidget*>(name), nullptr) << name;
  }
  EXPECT_EQ(form.ListBox1->size(), QSize(233, 135));
  EXPECT_EQ(form.ListBox2->size(), QSize(156, 134));
}

TEST(TForm2, CentresOverTheMainWindowWithoutClamping) {
  EXPECT_EQ(TForm2::CentredOver({100, 50, 375, 470}, {529, 199}),
            QPoint(100 + 187 - 264, 50 + 235 - 99));
  EXPECT_EQ(TForm2::CentredOver({0, 0, 100, 135}, {529, 199}), QPoint(50 - 264, 67 - 99));
}

TEST(TForm2, KeypadClicksReachTheCoreAndRepaintBothWindows) {
  EnsureOffscreenApplication();
  testing::RecordingWorld world;
  testing::TempDir dir;
  MainState state;
  state.FreqListPath = (dir.path() / "freqlist.txt").string();
  FrequencySelection core(state, world.services());
  int mainRepaints = 0;
  TForm2 form(core, nullptr, [&] { ++mainRepaints; });
  for (QPushButton* key : {form.Keypad[7], form.Keypad[4], form.Keypad[0], form.Keypad[9],
                           form.Keypad[10], form.Keypad[0], form.Keypad[1], form.Keypad[4]}) {
    key->click();
  }
  EXPECT_EQ(form.Label1->text(), "851.0125");
  form.Button15->click();
  EXPECT_EQ(form.Label1->text(), "851.01250");
  EXPECT_EQ(state.ControlFrequencyText, "851.01250");
  EXPECT_EQ(mainRepaints, 9);

  form.Edit1->setText("メモ");
  emit form.Edit1->textEdited(form.Edit1->text());
  form.Button13->click();
  ASSERT_EQ(form.ListBox1->count(), 1);
  EXPECT_EQ(form.ListBox1->item(0)->text(), "851.01250MHz メモ");
  EXPECT_EQ(testing::ReadBytes(state.FreqListPath), "851.01250MHz メモ\r\n");

  core.AddChList(852.5);  // from a decoder, between handlers
  ASSERT_EQ(form.ListBox2->count(), 1);
  EXPECT_EQ(form.ListBox2->item(0)->text(), "852.50000MHz");
}

}  // namespace
}  // namespace tarvo
