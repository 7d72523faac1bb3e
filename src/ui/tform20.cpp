#include "ui/tform20.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace tarvo {

TForm20::TForm20(EyePattern& eye, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint),
      eye_(eye),
      picture_(kEyeWidth, kEyeHeight, QImage::Format_RGB32) {
  setObjectName("Form20");
  setWindowTitle("アイパターン表示");
  setFixedSize(kClientWidth, kClientHeight);
  Panel1 = new QFrame(this);
  Panel1->setObjectName("Panel1");
  Panel1->setGeometry(0, 0, 184, 154);
  Panel1->setFrameShape(QFrame::Panel);
  Panel1->setFrameShadow(QFrame::Sunken);
  Panel1->setLineWidth(2);
  Image1 = new QLabel(Panel1);
  Image1->setObjectName("Image1");
  Image1->setGeometry(2, 2, kEyeWidth, kEyeHeight);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->geometry().topLeft());
  }
  eye_.SetUpdateListener([this] { Repaint(); });
  Repaint();
}

void TForm20::Repaint() {
  picture_.fill(Qt::black);
  QPainter painter(&picture_);
  painter.setRenderHint(QPainter::Antialiasing, false);
  QPen dotted;
  dotted.setWidth(1);
  dotted.setDashPattern({1.0, 1.0});
  for (const GraticuleLine& line : eye_.Graticule()) {
    dotted.setColor(QColor::fromRgb(line.rgb));
    painter.setPen(dotted);
    painter.drawLine(line.x0, line.y0, line.x1, line.y1);
  }
  painter.setPen(QPen(Qt::white, 1));
  for (const EyeSegment& s : eye_.Segments()) painter.drawLine(s.x0, s.y0, s.x1, s.y1);
  painter.end();
  Image1->setPixmap(QPixmap::fromImage(picture_));
}

void TForm20::showEvent(QShowEvent* event) {
  eye_.SetShowing(true);
  QWidget::showEvent(event);
}

void TForm20::hideEvent(QHideEvent* event) {
  eye_.SetShowing(false);
  QWidget::hideEvent(event);
}

}  // namespace tarvo
