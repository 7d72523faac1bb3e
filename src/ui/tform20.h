// The eye-pattern window: a 180 x 150 picture painted from the core's EyePattern geometry after
// every update; it tells the core whether it is showing.
#pragma once

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QWidget>

#include "core/decode/eye_pattern.h"

namespace tarvo {

class TForm20 : public QWidget {
 public:
  static constexpr int kClientWidth = 185;
  static constexpr int kClientHeight = 154;

  TForm20(EyePattern& eye, QWidget* mainWindow);

  // Redraws the picture from the core: graticule, then the sweeps.
  void Repaint();
  const QImage& Picture() const { return picture_; }

  QFrame* Panel1;
  QLabel* Image1;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  EyePattern& eye_;
  QImage picture_;
};

}  // namespace tarvo
