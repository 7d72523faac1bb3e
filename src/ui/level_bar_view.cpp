#include "ui/level_bar_view.h"

#include <QPainter>

namespace tarvo {

LevelBarView::LevelBarView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void LevelBarView::SetBar(const LevelBar& bar) {
  if (bar.length == bar_.length && bar.colour == bar_.colour && bar.marker == bar_.marker) return;
  bar_ = bar;
  update();
}

void LevelBarView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  if (bar_.length > 0) painter.fillRect(0, 0, bar_.length, height(), ToQColor(bar_.colour));
  if (bar_.marker >= 0) {
    painter.setPen(QColor(255, 255, 0));
    painter.drawLine(bar_.marker, 0, bar_.marker, height());
  }
}

}  // namespace tarvo
