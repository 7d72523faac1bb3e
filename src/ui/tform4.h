// The notice window "入力デバイス選択", shown by the device dialog while it re-opens the sound
// devices.
#pragma once

#include <QLabel>
#include <QWidget>

#include "core/dialogs/device_settings.h"

namespace tarvo {

class TForm4 : public QWidget, public DeviceNoticeView {
 public:
  static constexpr int kClientWidth = 229;
  static constexpr int kClientHeight = 46;

  // owner is the device dialog the notice centres over.
  explicit TForm4(QWidget* owner);

  void ShowNotice() override;
  void CloseNotice() override;

  QLabel* Label1;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* owner_;
};

}  // namespace tarvo
