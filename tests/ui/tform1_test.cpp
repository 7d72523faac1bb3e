#include "ui/tform1.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <memory>

#include "support/recorders.h"
#include "support/temp_dir.h"
#include "ui/offscreen_application.h"
#include "ui/qt_seams.h"

namespace tarvo {
namespace {

// The real window over a core whose receiver records, with settings in a fresh folder.
class TForm1Test : public ::testing::Test {
 protected:
  TForm1Test() { testing::EnsureOffscreenApplication(); }

  void Open() {
    Platform p;
    p.notice = &world.notice;
    p.pump = &pump;
    p.clock = &world.clock;
    p.timer1 = &timer1;
    p.timer2 = &timer2;
    p.files = FilesBesideProgram(dir.path() / "tarvo");
    p.receiver = &world.receiver;
    p.monitor = &world.monitor;
    core = std::make_unique<TarvoCore>(p);
    form = std::make_unique<TForm1>(*core, timer1.Timer(), timer2.Timer());
    core->Start();
    form->Refresh();
    form->show();
  }
  void Close() {
    ASSERT_TRUE(form->close());
    core->FormDestroy();
    form.reset();
    core.reset();
  }
  template <typename T>
  T* Find(const char* name) {
    T* widget = form->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  testing::TempDir dir;
  testing::RecordingWorld world;
  QtEventPump pump;
  QtTimerDriver timer1;
  QtTimerDriver timer2;
  std::unique_ptr<TarvoCore> core;
  std::unique_ptr<TForm1> form;
};

TEST_F(TForm1Test, TrackingButtonTunesTheReceiverToTheControlFrequency) {
  Open();
  core->State().ControlFrequencyText = "851.01250";
  form->Refresh();
  EXPECT_EQ(Find<QLabel>("Label16")->text(), "851.01250");
  Find<QPushButton>("SpeedButton1")->click();
  ASSERT_EQ(world.receiver.tunes.size(), 1u);
  EXPECT_EQ(world.receiver.tunes[0].frequencyText, "851.01250");
  EXPECT_TRUE(core->State().TrackingOn);
  EXPECT_TRUE(form->SpeedButton1->isChecked());
  form->SpeedButton1->click();
  EXPECT_FALSE(core->State().TrackingOn);
  EXPECT_EQ(world.receiver.tunes.size(), 1u);
}

TEST_F(TForm1Test, SettingsButtonSwitchesBetweenCompactAndFullHeight) {
  Open();
  const int frame = TForm1::kFrameHeight;
  EXPECT_EQ(form->size(), QSize(375, 135 - frame));
  Find<QPushButton>("Button5")->click();
  EXPECT_EQ(form->size(), QSize(375, 443));
  EXPECT_EQ(470 - frame, 443);
  form->Button5->click();
  EXPECT_EQ(form->height(), 135 - frame);
}

TEST_F(TForm1Test, IdSpecificReceptionDisablesTheSevenIdControls) {
  Open();
  const char* names[] = {"Edit2",     "Edit3",   "Edit4",  "CheckBox18",
                         "ComboBox4", "Button7", "Button8"};
  Find<QCheckBox>("CheckBox18")->click();
  ASSERT_TRUE(core->State().IdPassOn());
  Find<QCheckBox>("CheckBox15")->click();
  for (const char* name : names) EXPECT_FALSE(Find<QWidget>(name)->isEnabled()) << name;
  EXPECT_FALSE(form->CheckBox18->isChecked());
  form->CheckBox15->click();
  for (const char* name : names) EXPECT_TRUE(Find<QWidget>(name)->isEnabled()) << name;
}

TEST_F(TForm1Test, OnlyTheLeftButtonCopiesOrResetsTheIdFields) {
  Open();
  core->State().Edit2.text = "1A7";
  for (QLineEdit* edit : {form->Edit3, form->Edit4}) {
    const auto press = [edit](QEvent::Type type, Qt::MouseButton button) {
      const QPointF at(5, 5);
      QMouseEvent event(type, at, edit->mapToGlobal(at), button, button, Qt::NoModifier);
      QApplication::sendEvent(edit, &event);
    };
    const bool edit3 = edit == form->Edit3;
    std::string& text = edit3 ? core->State().Edit3.text : core->State().Edit4.text;
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
      press(QEvent::MouseButtonPress, button);
      EXPECT_EQ(text, "---") << edit3;
    }
    press(QEvent::MouseButtonPress, Qt::LeftButton);
    EXPECT_EQ(text, "1A7") << edit3;
    press(QEvent::MouseButtonDblClick, Qt::RightButton);
    EXPECT_EQ(text, "1A7") << edit3;
    press(QEvent::MouseButtonDblClick, Qt::LeftButton);
    EXPECT_EQ(text, "---") << edit3;
  }
}

TEST_F(TForm1Test, EverySettingSurvivesARestart) {
  Open();
  form->TrackBar1->setValue(-5);
  form->TrackBar4->setValue(9000);
  form->TrackBar3->setValue(7);
  form->CheckBox4->click();
  form->CheckBox5->click();
  form->CheckBox2->click();
  form->RadioButton2->click();  // disables the check boxes above, enables the volume
  form->TrackBar2->setValue(120);
  form->RadioButton4->click();
  form->CheckBox3->click();
  form->RadioButton6->click();
  form->ComboBox1->setCurrentIndex(2);
  emit form->ComboBox1->activated(2);
  form->CheckBox1->click();  // unchecked: not topmost
  form->CheckBox1->click();  // checked again: topmost
  form->CheckBoxRobust->click();
  core->State().ControlFrequencyText = "852.02500";
  core->State().ComPortIndex = 1;
  core->State().InputDevice = 2;
  core->State().OutputDevice = 3;
  core->State().SampleRateIndex = 1;
  core->State().CommandInterval = 25;
  core->State().Edit5.text = "5C";
  form->move(40, 30);
  Close();

  Open();
  const MainState& s = core->State();
  EXPECT_EQ(form->TrackBar1->value(), -5);
  EXPECT_EQ(form->TrackBar4->value(), 9000);
  EXPECT_EQ(s.ToneThreshold, 9000.0);
  EXPECT_EQ(form->TrackBar3->value(), 7);
  EXPECT_TRUE(form->RadioButton2->isChecked());
  EXPECT_EQ(form->TrackBar2->value(), 120);
  EXPECT_TRUE(form->TrackBar2->isEnabled());
  EXPECT_FALSE(form->CheckBox4->isChecked());
  EXPECT_TRUE(form->CheckBox5->isChecked());
  EXPECT_TRUE(form->CheckBox2->isChecked());
  EXPECT_TRUE(form->RadioButton4->isChecked());
  EXPECT_TRUE(form->CheckBox3->isChecked());
  EXPECT_EQ(s.DecoderPolarity, -1.0);
  EXPECT_TRUE(form->RadioButton6->isChecked());
  EXPECT_TRUE(form->CheckBoxRobust->isChecked());
  EXPECT_EQ(s.Demod, Demodulation::kRobust);
  EXPECT_EQ(form->ComboBox1->currentIndex(), 2);
  EXPECT_FALSE(form->Edit5->isEnabled());
  EXPECT_TRUE(s.AlwaysOnTop);
  EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(form->Label16->text(), "852.02500");
  EXPECT_EQ(s.ComPortIndex, 1);
  EXPECT_EQ(s.InputDevice, 2);
  EXPECT_EQ(s.OutputDevice, 3);
  EXPECT_EQ(s.SampleRateIndex, 1);
  EXPECT_EQ(s.CommandInterval, 25);
  EXPECT_EQ(form->Edit5->text(), "5C");
  EXPECT_EQ(s.FormLeft, 40);
  EXPECT_EQ(s.FormTop, 30);
  EXPECT_TRUE(world.notice.errors.empty());
}

// The rig boxes take the places of the port list and the CI-V address while "Hamlib" is
// selected, move nothing, and what is typed there comes back after a restart.
TEST_F(TForm1Test, HamlibShowsTheRigBoxesInPlaceOfThePortListAndAddress) {
  Open();
  const QRect portList = form->ComboBox2->geometry();
  const QRect address = form->Edit5->geometry();
  const QRect models = form->ComboBox1->geometry();
  EXPECT_FALSE(form->RigPortEdit->isVisible());
  EXPECT_FALSE(form->RigNumberEdit->isVisible());

  const int hamlib = form->ComboBox1->findText("Hamlib");
  ASSERT_EQ(hamlib, 8);
  form->ComboBox1->setCurrentIndex(hamlib);
  emit form->ComboBox1->activated(hamlib);
  EXPECT_TRUE(form->RigPortEdit->isVisible());
  EXPECT_TRUE(form->RigNumberEdit->isVisible());
  EXPECT_FALSE(form->ComboBox2->isVisible());
  EXPECT_FALSE(form->Edit5->isVisible());
  EXPECT_EQ(form->RigPortEdit->geometry(), portList);
  EXPECT_EQ(form->RigNumberEdit->geometry(), address);
  EXPECT_EQ(form->ComboBox1->geometry(), models);
  EXPECT_EQ(form->RigPortEdit->text(), "localhost:4532");
  EXPECT_EQ(form->RigNumberEdit->text(), "2");

  form->RigPortEdit->setText("radio.lan:4532");
  emit form->RigPortEdit->editingFinished();
  form->RigNumberEdit->setText("abc");  // not a rig number: the box shows the stored one again
  emit form->RigNumberEdit->editingFinished();
  EXPECT_EQ(form->RigNumberEdit->text(), "2");
  form->RigNumberEdit->setText("1");
  emit form->RigNumberEdit->editingFinished();
  EXPECT_EQ(core->State().RigPort, "radio.lan:4532");
  EXPECT_EQ(core->State().RigModel, 1);
  Close();

  Open();
  EXPECT_TRUE(form->RigPortEdit->isVisible());
  EXPECT_EQ(form->RigPortEdit->text(), "radio.lan:4532");
  EXPECT_EQ(form->RigNumberEdit->text(), "1");
  form->ComboBox1->setCurrentIndex(0);
  emit form->ComboBox1->activated(0);
  EXPECT_FALSE(form->RigPortEdit->isVisible());
  EXPECT_TRUE(form->ComboBox2->isVisible());
  EXPECT_TRUE(form->Edit5->isVisible());
}

}  // namespace
}  // namespace tarvo
