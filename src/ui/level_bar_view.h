// A level bar image (149 x 7): black, a coloured bar from the left and an optional yellow marker.
#pragma once

#include <QColor>
#include <QWidget>

#include "core/base/main_state.h"

namespace tarvo {

inline QColor ToQColor(Colour colour) {
  return QColor::fromRgb(static_cast<QRgb>(colour));
}

class LevelBarView : public QWidget {
 public:
  explicit LevelBarView(QWidget* parent);
  void SetBar(const LevelBar& bar);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  LevelBar bar_;
};

}  // namespace tarvo
