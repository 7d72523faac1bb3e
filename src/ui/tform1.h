// The main window: read-outs, lamps, tracking buttons and settings, painted from the core's state;
// every event goes to the core's handlers and the window repaints afterwards.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "core/app/tarvo_core.h"
#include "ui/level_bar_view.h"

namespace tarvo {

class TForm1 : public QWidget {
 public:
  // The window frame's share of the outer height: full 470 leaves the 443-pixel client area.
  static constexpr int kFrameHeight = kFullHeight - 443;
  static constexpr int kClientWidth = 375;

  TForm1(TarvoCore& core, QTimer& timer1, QTimer& timer2);

  // Paints every control from the state.
  void Refresh();
  // The window's own title ("Tarvo", or the demo's), to which a lost receiver is added.
  void SetBaseTitle(const QString& title) {
    baseTitle_ = title;
    Refresh();
  }

  // Windows built elsewhere: the frequency window, the device dialog and the eye pattern.
  std::function<void()> Button1Click = [] {};
  std::function<void()> Button2Click = [] {};
  std::function<void()> Button4Click = [] {};
  // The history window, from the read-outs' context menu.
  std::function<void()> HistoryOpen = [] {};

  // Controls under their layout names.
  QGroupBox* GroupBox1;
  QLabel* Label6;
  QLabel* Label7;
  QLabel* Label28;
  QLabel* Label21;
  QLabel* Label22;
  QGroupBox* GroupBox3;
  QFrame* Panel1;
  QFrame* Panel4;
  QFrame* Panel2;
  QFrame* Panel3;
  QFrame* Panel6;
  QPushButton* SpeedButton1;
  QPushButton* SpeedButton2;
  QPushButton* Button3;
  QPushButton* Button4;
  QPushButton* Button5;
  QGroupBox* GroupBox4;
  QLabel* Label16;
  QPushButton* Button1;
  QCheckBox* CheckBox15;
  QLineEdit* Edit2;
  QLineEdit* Edit3;
  QLineEdit* Edit4;
  QCheckBox* CheckBox18;
  QComboBox* ComboBox4;
  QPushButton* Button7;
  QPushButton* Button8;
  QFrame* Panel8;
  QLabel* Image2;
  QLabel* Label13;
  QLabel* Label14;
  QLabel* Label17;
  QGroupBox* GroupBox2;
  QCheckBox* CheckBox1;
  QCheckBox* CheckBoxRobust;  // "ロバスト復調": the robust demodulators for weak signals
  QLabel* Label10;
  QSlider* TrackBar1;
  QLabel* Label12;
  QSlider* TrackBar4;
  QFrame* Panel7;
  LevelBarView* Image1;
  QFrame* Panel5;
  LevelBarView* Image3;
  QLabel* Label11;
  QComboBox* ComboBox2;
  QComboBox* ComboBox1;
  QLineEdit* Edit5;
  QPushButton* Button2;
  QGroupBox* GroupBox5;
  QRadioButton* RadioButton1;
  QRadioButton* RadioButton2;
  QSlider* TrackBar3;
  QSlider* TrackBar2;
  QCheckBox* CheckBox4;
  QCheckBox* CheckBox5;
  QCheckBox* CheckBox2;
  QGroupBox* GroupBox6;
  QRadioButton* RadioButton3;
  QRadioButton* RadioButton4;
  QCheckBox* CheckBox3;
  QGroupBox* GroupBox7;
  QRadioButton* RadioButton5;
  QRadioButton* RadioButton6;
  // The "Hamlib" model's rig number and port, over Edit5 and ComboBox2 while it is selected.
  QLineEdit* RigNumberEdit;
  QLineEdit* RigPortEdit;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildReadOuts();
  void BuildLampsAndButtons();
  void BuildControlSettings();
  void BuildSettings();
  void BuildOutputAndDecoder();
  void BuildRigBoxes();
  void ConnectRigBoxes();
  void Connect(QTimer& timer1, QTimer& timer2);
  // Runs a handler, then repaints.
  void Run(const std::function<void()>& handler);
  void ApplyWindowFlags();

  TarvoCore& core_;
  MainState& state_;
  bool topmostShown_ = false;
  QString baseTitle_ = "Tarvo";
};

}  // namespace tarvo
