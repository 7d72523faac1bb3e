#include "ui/tform9.h"

#include <QFont>
#include <QProcess>
#include <QStandardPaths>

namespace tarvo {
namespace {

QComboBox* ListBox(QWidget* parent, const QString& name, int top,
                   const std::vector<std::string>& items, int selected) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  box->setGeometry(8, top, 274, 22);
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  for (const std::string& item : items) box->addItem(QString::fromStdString(item));
  box->setCurrentIndex(selected >= 0 && selected < box->count() ? selected : -1);
  return box;
}

QLabel* Caption(QWidget* parent, const QString& name, int top, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setGeometry(8, top, 274, 16);
  return label;
}

QPushButton* Button(QWidget* parent, const QString& name, QRect geometry, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setGeometry(geometry);
  return button;
}

}  // namespace

TForm9::TForm9(MainState& state, Services services, SoundDeviceControl& devices,
               const DeviceLists& lists, QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      Form4(new TForm4(this)),
      mainWindow_(mainWindow),
      settings_(state, services, devices, *Form4) {
  setObjectName("Form9");
  setWindowTitle("デバイス設定");
  setModal(true);
  QFont font("IPAPGothic");
  font.setPixelSize(12);
  setFont(font);
  setFixedSize(kClientWidth, kClientHeight);

  Label1 = Caption(this, "Label1", 8, "入力デバイス");
  ComboBox1 = ListBox(this, "ComboBox1", 26, lists.inputs, state.InputDevice);
  Label2 = Caption(this, "Label2", 54, "出力デバイス");
  ComboBox2 = ListBox(this, "ComboBox2", 72, lists.outputs, state.OutputDevice);
  Label3 = Caption(this, "Label3", 100, "サンプリングレート");
  ComboBox3 = ListBox(this, "ComboBox3", 118, lists.rates, state.SampleRateIndex);
  Button2 = Button(this, "Button2", {8, 154, 130, 26}, "ボリュームコントロール");
  Button1 = Button(this, "Button1", {146, 154, 66, 26}, "OK");
  Button3 = Button(this, "Button3", {216, 154, 66, 26}, "キャンセル");
  Button1->setDefault(true);

  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
  connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
}

int TForm9::ItemIndex(const QComboBox* box) {
  const QString text = box->currentText();
  const int current = box->currentIndex();
  if (current >= 0 && box->itemText(current) == text) return current;
  return box->findText(text, Qt::MatchExactly);
}

void TForm9::Button1Click() {
  settings_.Button1Click(ItemIndex(ComboBox1), ItemIndex(ComboBox2), ItemIndex(ComboBox3));
  accept();
}

void TForm9::Button2Click() {
  StartSoundMixer();
}

void TForm9::Button3Click() {
  reject();
}

void TForm9::showEvent(QShowEvent* event) {
  if (mainWindow_ != nullptr) {
    const QRect m = mainWindow_->frameGeometry();
    const WindowPlace place =
        CentreOver(m.top(), m.left(), m.height(), m.width(), height(), width(), true);
    move(place.left, place.top);
  }
  QDialog::showEvent(event);
}

void StartSoundMixer() {
  for (const char* mixer : {"pavucontrol", "pavucontrol-qt"}) {
    const QString path = QStandardPaths::findExecutable(mixer);
    if (!path.isEmpty()) {
      QProcess::startDetached(path, {});
      return;
    }
  }
}

}  // namespace tarvo
