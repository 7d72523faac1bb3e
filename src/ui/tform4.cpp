#include "ui/tform4.h"

#include <QFont>

namespace tarvo {

TForm4::TForm4(QWidget* owner) : QWidget(owner, Qt::Tool), owner_(owner) {
  setObjectName("Form4");
  setWindowTitle("入力デバイス選択");
  QFont font("IPAPGothic");
  font.setPixelSize(12);
  setFont(font);
  setFixedSize(kClientWidth, kClientHeight);
  Label1 = new QLabel("録音デバイス再設定中...", this);
  Label1->setObjectName("Label1");
  Label1->setGeometry(0, 0, kClientWidth, kClientHeight);
  Label1->setAlignment(Qt::AlignCenter);
}

void TForm4::ShowNotice() {
  show();
  raise();
}

void TForm4::CloseNotice() {
  hide();
}

void TForm4::showEvent(QShowEvent* event) {
  if (owner_ != nullptr) {
    const QRect o = owner_->frameGeometry();
    const WindowPlace place =
        CentreOver(o.top(), o.left(), o.height(), o.width(), height(), width(), false);
    move(place.left, place.top);
  }
  QWidget::showEvent(event);
}

}  // namespace tarvo
