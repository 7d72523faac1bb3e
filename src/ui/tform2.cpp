#include "ui/tform2.h"

#include <QShowEvent>

namespace tarvo {
namespace {

const char* kCaptionFont = "IPAPGothic";
const char* kDisplayFont = "IPAGothic";  // monospaced

QPushButton* Button(QWidget* parent, const QString& name, QRect geometry, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setGeometry(geometry);
  button->setFocusPolicy(Qt::NoFocus);  // the keyboard does not drive the keypad
  return button;
}

void SetItems(QListWidget* list, const std::vector<std::string>& items) {
  bool same = list->count() == static_cast<int>(items.size());
  for (int i = 0; same && i < list->count(); ++i) {
    same = list->item(i)->text().toStdString() == items[static_cast<std::size_t>(i)];
  }
  if (same) return;
  const int row = list->currentRow();
  list->clear();
  for (const std::string& item : items) list->addItem(QString::fromStdString(item));
  if (row < list->count()) list->setCurrentRow(row);
}

}  // namespace

TForm2::TForm2(FrequencySelection& window, QWidget* mainWindow, std::function<void()> refresh)
    : QWidget(mainWindow, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      window_(window),
      mainWindow_(mainWindow),
      refresh_(std::move(refresh)) {
  setObjectName("Form2");
  setWindowTitle("制御局周波数選択");
  QFont captionFont(kCaptionFont);
  captionFont.setPixelSize(12);
  setFont(captionFont);
  setFixedSize(kClientWidth, kClientHeight);

  ListBox1 = new QListWidget(this);
  ListBox1->setObjectName("ListBox1");
  ListBox1->setGeometry(4, 4, 233, 135);
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  Edit1->setGeometry(4, 144, 160, 24);
  Button13 = Button(this, "Button13", {168, 143, 69, 26}, "メモリ追加");

  Panel2 = new QFrame(this);
  Panel2->setObjectName("Panel2");
  Panel2->setGeometry(241, 4, 116, 30);
  Panel2->setFrameShape(QFrame::Panel);
  Panel2->setFrameShadow(QFrame::Sunken);
  Panel2->setAutoFillBackground(true);
  QPalette black = Panel2->palette();
  black.setColor(QPalette::Window, Qt::black);
  black.setColor(QPalette::WindowText, QColor(192, 192, 192));
  Panel2->setPalette(black);
  Label1 = new QLabel(Panel2);
  Label1->setObjectName("Label1");
  Label1->setGeometry(2, 2, 112, 26);
  Label1->setAlignment(Qt::AlignCenter);
  QFont displayFont(kDisplayFont);
  displayFont.setStyleHint(QFont::Monospace);
  displayFont.setPixelSize(20);
  displayFont.setBold(true);
  Label1->setFont(displayFont);

  Panel1 = new QFrame(this);
  Panel1->setObjectName("Panel1");
  Panel1->setGeometry(241, 36, 116, 104);
  Panel1->setFrameShape(QFrame::Panel);
  Panel1->setFrameShadow(QFrame::Raised);
  // Button1..Button9 are "1".."9", Button10 is ".", Button11 is "0".
  const char keys[] = "123456789.0";
  for (int i = 0; i < 11; ++i) {
    const int slot = i == 9 ? 10 : i == 10 ? 9 : i;  // "0" sits left of "." in the last row
    const QRect geometry(3 + (slot % 3) * 37, 3 + (slot / 3) * 25, 36, 24);
    Keypad[i] = Button(Panel1, QString("Button%1").arg(i + 1), geometry, QString(keys[i]));
    const char key = keys[i];
    connect(Keypad[i], &QPushButton::clicked, this,
            [this, key] { Run([this, key] { window_.KeypadKeyClick(key); }); });
  }
  Button12 = Button(this, "Button12", {241, 143, 56, 26}, "CL");
  Button15 = Button(this, "Button15", {301, 143, 56, 26}, "ENT");

  ListBox2 = new QListWidget(this);
  ListBox2->setObjectName("ListBox2");
  ListBox2->setGeometry(361, 4, 156, 134);
  Button17 = Button(this, "Button17", {361, 143, 76, 26}, "制御CH");
  Button16 = Button(this, "Button16", {441, 143, 76, 26}, "クリア");

  connect(Button15, &QPushButton::clicked, this,
          [this] { Run([this] { window_.Button15Click(); }); });
  connect(Button12, &QPushButton::clicked, this,
          [this] { Run([this] { window_.Button12Click(); }); });
  connect(Button13, &QPushButton::clicked, this,
          [this] { Run([this] { window_.Button13Click(); }); });
  connect(Button17, &QPushButton::clicked, this,
          [this] { Run([this] { window_.Button17Click(); }); });
  connect(Button16, &QPushButton::clicked, this,
          [this] { Run([this] { window_.Button16Click(); }); });
  const auto chooseStored = [this](QListWidgetItem* item) {
    const int row = ListBox1->row(item);
    Run([this, row] { window_.ListBox1Click(row); });
  };
  connect(ListBox1, &QListWidget::itemClicked, this, chooseStored);
  connect(ListBox1, &QListWidget::itemDoubleClicked, this, chooseStored);
  connect(ListBox2, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    const int row = ListBox2->row(item);
    Run([this, row] { window_.ListBox2Click(row); });
  });
  connect(Edit1, &QLineEdit::textEdited, this,
          [this](const QString& text) { window_.Edit1 = text.toStdString(); });
  window_.SetHeardLinesListener([this] { SetItems(ListBox2, window_.ListBox2); });
  Refresh();
}

void TForm2::Refresh() {
  const QString label = QString::fromStdString(window_.Label1);
  if (Label1->text() != label) Label1->setText(label);
  const QString memo = QString::fromStdString(window_.Edit1);
  if (Edit1->text() != memo) Edit1->setText(memo);
  SetItems(ListBox1, window_.ListBox1);
  SetItems(ListBox2, window_.ListBox2);
}

QPoint TForm2::CentredOver(const QRect& mainWindow, const QSize& own) {
  return {mainWindow.left() + mainWindow.width() / 2 - own.width() / 2,
          mainWindow.top() + mainWindow.height() / 2 - own.height() / 2};
}

void TForm2::showEvent(QShowEvent* event) {
  if (!event->spontaneous() && mainWindow_ != nullptr) {
    move(CentredOver(mainWindow_->frameGeometry(), frameGeometry().size()));
  }
  QWidget::showEvent(event);
}

void TForm2::Run(const std::function<void()>& handler) {
  handler();
  Refresh();
  if (refresh_) refresh_();
}

}  // namespace tarvo
