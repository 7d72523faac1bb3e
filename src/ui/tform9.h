// The device settings dialog "デバイス設定": input device, output device and capture rate, and
// a button that opens the desktop's sound mixer. Its "OK" runs the core's DeviceSettings.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "core/audio/sound_device_control.h"
#include "core/dialogs/device_settings.h"
#include "ui/tform4.h"

namespace tarvo {

class TForm9 : public QDialog {
 public:
  static constexpr int kClientWidth = 290;
  static constexpr int kClientHeight = 188;

  // Builds the lists once (devices added later appear at the next start) and selects the
  // current settings; mainWindow is what the dialog centres over.
  TForm9(MainState& state, Services services, SoundDeviceControl& devices, const DeviceLists& lists,
         QWidget* mainWindow);

  void Button1Click();
  void Button2Click();
  void Button3Click();

  // The item a box's text names: its current item, else the first item with that text, else
  // -1 (typed text that matches nothing).
  static int ItemIndex(const QComboBox* box);

  QLabel* Label1;
  QComboBox* ComboBox1;
  QLabel* Label2;
  QComboBox* ComboBox2;
  QLabel* Label3;
  QComboBox* ComboBox3;
  QPushButton* Button2;
  QPushButton* Button1;
  QPushButton* Button3;
  TForm4* Form4;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* mainWindow_;
  DeviceSettings settings_;
};

// Starts the desktop's sound mixer when one is installed; nothing happens otherwise.
void StartSoundMixer();

}  // namespace tarvo
