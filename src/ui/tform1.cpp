#include "ui/tform1.h"

#include <QCloseEvent>
#include <QIntValidator>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStyle>

namespace tarvo {
namespace {

const char* kCaptionFont = "IPAPGothic";
const char* kReadOutFont = "IPAGothic";

template <typename T>
T* Make(QWidget* parent, const char* name, QRect geometry, const QString& caption = {}) {
  T* widget = new T(parent);
  widget->setObjectName(name);
  widget->setGeometry(geometry);
  if constexpr (std::is_base_of_v<QAbstractButton, T> || std::is_same_v<T, QLabel> ||
                std::is_same_v<T, QLineEdit>) {
    widget->setText(caption);
  } else if constexpr (std::is_same_v<T, QGroupBox>) {
    widget->setTitle(caption);
  }
  return widget;
}

QLabel* Caption(QWidget* parent, QRect geometry, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(geometry);
  return label;
}

QFrame* Lamp(QWidget* parent, const char* name, QRect geometry) {
  auto* lamp = Make<QFrame>(parent, name, geometry);
  lamp->setFrameShape(QFrame::Panel);
  lamp->setFrameShadow(QFrame::Sunken);
  lamp->setAutoFillBackground(true);
  return lamp;
}

QSlider* TrackBar(QWidget* parent, const char* name, QRect geometry, const TrackBarControl& bar) {
  auto* slider = Make<QSlider>(parent, name, geometry);
  slider->setOrientation(Qt::Horizontal);
  slider->setRange(bar.min, bar.max);
  slider->setValue(bar.position);
  return slider;
}

void SetLamp(QFrame* lamp, Colour colour) {
  const QColor wanted = ToQColor(colour);
  if (lamp->palette().color(QPalette::Window) == wanted) return;
  QPalette palette = lamp->palette();
  palette.setColor(QPalette::Window, wanted);
  lamp->setPalette(palette);
}

void SetText(QLabel* label, const std::string& text) {
  const QString wanted = QString::fromStdString(text);
  if (label->text() != wanted) label->setText(wanted);
}

void SetEdit(QLineEdit* edit, const EditControl& control) {
  const QString wanted = QString::fromStdString(control.text);
  if (edit->text() != wanted) edit->setText(wanted);
  edit->setEnabled(control.enabled);
}

void SetCheck(QCheckBox* box, const CheckControl& control) {
  box->setChecked(control.checked);
  box->setEnabled(control.enabled);
}

void SetSlider(QSlider* slider, const TrackBarControl& bar) {
  slider->setValue(bar.position);
  slider->setEnabled(bar.enabled);
}

void SetItems(QComboBox* box, const std::vector<std::string>& items) {
  bool same = box->count() == static_cast<int>(items.size());
  for (int i = 0; same && i < box->count(); ++i) {
    same = box->itemText(i).toStdString() == items[static_cast<std::size_t>(i)];
  }
  if (same) return;
  box->clear();
  for (const std::string& item : items) box->addItem(QString::fromStdString(item));
}

}  // namespace

TForm1::TForm1(TarvoCore& core, QTimer& timer1, QTimer& timer2)
    : core_(core), state_(core.State()) {
  setObjectName("Form1");
  setWindowTitle("Tarvo");
  QFont captionFont(kCaptionFont);
  captionFont.setPixelSize(12);
  setFont(captionFont);
  BuildReadOuts();
  BuildLampsAndButtons();
  BuildControlSettings();
  BuildSettings();
  BuildOutputAndDecoder();
  BuildRigBoxes();
  ApplyWindowFlags();
  Connect(timer1, timer2);
  ConnectRigBoxes();
  Refresh();
}

void TForm1::BuildReadOuts() {
  GroupBox1 = Make<QGroupBox>(this, "GroupBox1", {10, 8, 177, 97}, "受信情報表示");
  const char* captions[] = {"基地局番号", "回線種別", "通話時間", "回線周波数", "通話/送信"};
  QLabel** readOuts[] = {&Label6, &Label7, &Label28, &Label21, &Label22};
  const char* names[] = {"Label6", "Label7", "Label28", "Label21", "Label22"};
  QFont readOutFont(kReadOutFont);
  readOutFont.setPixelSize(12);
  for (int i = 0; i < 5; ++i) {
    const int y = 18 + i * 15;
    Caption(GroupBox1, {6, y, 68, 14}, captions[i]);
    *readOuts[i] = Make<QLabel>(GroupBox1, names[i], {76, y, 98, 14});
    (*readOuts[i])->setFont(readOutFont);
  }
  // The history opens from here, so no control of the window has to move for it.
  GroupBox1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(GroupBox1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QMenu menu(this);
    menu.addAction("通話履歴...", [this] { HistoryOpen(); });
    menu.exec(GroupBox1->mapToGlobal(at));
  });
}

void TForm1::BuildLampsAndButtons() {
  GroupBox3 = Make<QGroupBox>(this, "GroupBox3", {189, 8, 177, 38});
  const char* captions[] = {"受信", "占有", "通話", "制御"};
  QFrame** lamps[] = {&Panel1, &Panel4, &Panel2, &Panel3};
  const char* names[] = {"Panel1", "Panel4", "Panel2", "Panel3"};
  for (int i = 0; i < 4; ++i) {
    const int x = 8 + i * 42;
    QLabel* caption = Caption(GroupBox3, {x, 3, 36, 14}, captions[i]);
    caption->setAlignment(Qt::AlignCenter);
    *lamps[i] = Lamp(GroupBox3, names[i], {x + 3, 19, 30, 14});
  }

  Panel6 = Make<QFrame>(this, "Panel6", {189, 48, 177, 57});
  SpeedButton1 = Make<QPushButton>(Panel6, "SpeedButton1", {2, 2, 86, 26}, "トラッキング");
  SpeedButton1->setCheckable(true);
  QFont bold = SpeedButton1->font();
  bold.setBold(true);
  SpeedButton1->setFont(bold);
  QPalette red = SpeedButton1->palette();
  red.setColor(QPalette::ButtonText, Qt::red);
  SpeedButton1->setPalette(red);
  SpeedButton2 = Make<QPushButton>(Panel6, "SpeedButton2", {89, 2, 86, 26}, "モニター");
  SpeedButton2->setCheckable(true);
  Button3 = Make<QPushButton>(Panel6, "Button3", {2, 29, 58, 26}, "強制待受");
  Button4 = Make<QPushButton>(Panel6, "Button4", {60, 29, 57, 26}, "波形");
  Button5 = Make<QPushButton>(Panel6, "Button5", {117, 29, 58, 26}, "設定");
}

void TForm1::BuildControlSettings() {
  GroupBox4 = Make<QGroupBox>(this, "GroupBox4", {8, 112, 361, 105}, "MCA制御設定");
  Caption(GroupBox4, {8, 20, 118, 16}, "制御チャンネル周波数");
  Label16 = Make<QLabel>(GroupBox4, "Label16", {128, 18, 76, 20});
  QFont frequencyFont(kReadOutFont);
  frequencyFont.setPixelSize(14);
  frequencyFont.setBold(true);
  Label16->setFont(frequencyFont);
  Caption(GroupBox4, {206, 20, 28, 16}, "MHz");
  Button1 = Make<QPushButton>(GroupBox4, "Button1", {236, 16, 48, 22}, "設定");
  CheckBox15 = Make<QCheckBox>(GroupBox4, "CheckBox15", {8, 42, 150, 18}, "ＩＤ特定受信機能");
  Edit2 = Make<QLineEdit>(GroupBox4, "Edit2", {8, 62, 48, 21});
  Edit3 = Make<QLineEdit>(GroupBox4, "Edit3", {60, 62, 48, 21});
  Edit4 = Make<QLineEdit>(GroupBox4, "Edit4", {112, 62, 48, 21});
  CheckBox18 = Make<QCheckBox>(GroupBox4, "CheckBox18", {168, 42, 110, 18}, "ＩＤパス");
  ComboBox4 = Make<QComboBox>(GroupBox4, "ComboBox4", {168, 62, 116, 21});
  ComboBox4->setEditable(true);
  ComboBox4->setInsertPolicy(QComboBox::NoInsert);
  Button7 = Make<QPushButton>(GroupBox4, "Button7", {168, 84, 56, 20}, "追加");
  Button8 = Make<QPushButton>(GroupBox4, "Button8", {228, 84, 56, 20}, "削除");
  for (QLineEdit* edit : {Edit3, Edit4}) edit->installEventFilter(this);

  Panel8 = Make<QFrame>(GroupBox4, "Panel8", {290, 14, 64, 86});
  Panel8->setFrameShape(QFrame::StyledPanel);
  Panel8->setFrameShadow(QFrame::Sunken);
  Image2 = Make<QLabel>(Panel8, "Image2", {16, 4, 32, 32});
  Image2->setPixmap(style()->standardIcon(QStyle::SP_DriveNetIcon).pixmap(32, 32));
  Label13 = Make<QLabel>(Panel8, "Label13", {4, 38, 58, 14}, "Tarvo ");
  Label14 = Make<QLabel>(Panel8, "Label14", {4, 53, 58, 14}, "ver. 1.0.1");
  Label17 = Make<QLabel>(Panel8, "Label17", {4, 68, 58, 14}, "build 006");
  for (QLabel* label : {Label13, Label14, Label17}) label->setAlignment(Qt::AlignHCenter);
}

void TForm1::BuildSettings() {
  GroupBox2 = Make<QGroupBox>(this, "GroupBox2", {8, 223, 361, 106}, "設定");
  CheckBox1 = Make<QCheckBox>(GroupBox2, "CheckBox1", {8, 16, 120, 18}, "常時手前表示");
  Button2 = Make<QPushButton>(GroupBox2, "Button2", {262, 12, 92, 24}, "デバイス設定");
  CheckBoxRobust = Make<QCheckBox>(GroupBox2, "CheckBoxRobust", {136, 16, 120, 18}, "ロバスト復調");
  Label10 = Make<QLabel>(GroupBox2, "Label10", {8, 40, 64, 16}, "入力調整");
  TrackBar1 = TrackBar(GroupBox2, "TrackBar1", {72, 38, 120, 20}, state_.TrackBar1);
  Panel7 = Make<QFrame>(GroupBox2, "Panel7", {200, 42, 153, 11});
  Panel7->setFrameShape(QFrame::Panel);
  Panel7->setFrameShadow(QFrame::Sunken);
  Image1 = new LevelBarView(Panel7);
  Image1->setObjectName("Image1");
  Image1->setGeometry(2, 2, 149, 7);
  Label12 = Make<QLabel>(GroupBox2, "Label12", {8, 62, 64, 16}, "トーン検出");
  TrackBar4 = TrackBar(GroupBox2, "TrackBar4", {72, 60, 120, 20}, state_.TrackBar4);
  Panel5 = Make<QFrame>(GroupBox2, "Panel5", {200, 64, 153, 11});
  Panel5->setFrameShape(QFrame::Panel);
  Panel5->setFrameShadow(QFrame::Sunken);
  Image3 = new LevelBarView(Panel5);
  Image3->setObjectName("Image3");
  Image3->setGeometry(2, 2, 149, 7);
  Label11 = Make<QLabel>(GroupBox2, "Label11", {8, 84, 48, 16}, "RS232C");
  ComboBox2 = Make<QComboBox>(GroupBox2, "ComboBox2", {58, 82, 100, 21});
  ComboBox1 = Make<QComboBox>(GroupBox2, "ComboBox1", {162, 82, 120, 21});
  for (const std::string& model : kReceiverModels) ComboBox1->addItem(model.c_str());
  Edit5 = Make<QLineEdit>(GroupBox2, "Edit5", {286, 82, 40, 21});
}

void TForm1::BuildOutputAndDecoder() {
  GroupBox5 = Make<QGroupBox>(this, "GroupBox5", {8, 331, 203, 106}, "音声出力先＆出力音量設定");
  RadioButton1 = Make<QRadioButton>(GroupBox5, "RadioButton1", {8, 20, 64, 18}, "WAVE");
  TrackBar3 = TrackBar(GroupBox5, "TrackBar3", {72, 19, 124, 20}, state_.TrackBar3);
  CheckBox4 = Make<QCheckBox>(GroupBox5, "CheckBox4", {24, 42, 46, 18}, "BPF");
  CheckBox5 = Make<QCheckBox>(GroupBox5, "CheckBox5", {74, 42, 46, 18}, "BEF");
  CheckBox2 = Make<QCheckBox>(GroupBox5, "CheckBox2", {124, 42, 60, 18}, "Demp");
  RadioButton2 = Make<QRadioButton>(GroupBox5, "RadioButton2", {8, 72, 64, 18}, "RADIO");
  TrackBar2 = TrackBar(GroupBox5, "TrackBar2", {72, 71, 124, 20}, state_.TrackBar2);

  GroupBox6 = Make<QGroupBox>(this, "GroupBox6", {217, 331, 152, 54}, "デコーダ種別");
  RadioButton3 = Make<QRadioButton>(GroupBox6, "RadioButton3", {8, 18, 84, 16}, "McAccess");
  RadioButton4 = Make<QRadioButton>(GroupBox6, "RadioButton4", {8, 35, 70, 16}, "JSMR");
  CheckBox3 = Make<QCheckBox>(GroupBox6, "CheckBox3", {90, 35, 56, 16}, "反転");

  GroupBox7 = Make<QGroupBox>(this, "GroupBox7", {217, 391, 152, 46}, "入力先");
  RadioButton5 = Make<QRadioButton>(GroupBox7, "RadioButton5", {12, 20, 56, 18}, "Lch");
  RadioButton6 = Make<QRadioButton>(GroupBox7, "RadioButton6", {76, 20, 56, 18}, "Rch");
}

void TForm1::BuildRigBoxes() {
  // The same places as the port list and the CI-V address, which they stand in for.
  RigPortEdit = Make<QLineEdit>(GroupBox2, "RigPortEdit", ComboBox2->geometry());
  RigPortEdit->setToolTip("リグのポート（デバイスまたは ホスト:ポート）");
  RigNumberEdit = Make<QLineEdit>(GroupBox2, "RigNumberEdit", Edit5->geometry());
  RigNumberEdit->setToolTip("hamlib のリグ番号");
  RigNumberEdit->setValidator(new QIntValidator(1, 999999, RigNumberEdit));
}

void TForm1::ConnectRigBoxes() {
  // Taken when the operator finishes editing (Enter or leaving the box), not per keystroke.
  connect(RigNumberEdit, &QLineEdit::editingFinished, this, [this] {
    bool ok = false;
    const int rig = RigNumberEdit->text().toInt(&ok);
    if (!ok || rig == state_.RigModel) {
      RigNumberEdit->setText(QString::number(state_.RigModel));
      return;
    }
    state_.RigModel = rig;
    Run([&] { core_.RigSettingsChange(); });
  });
  connect(RigPortEdit, &QLineEdit::editingFinished, this, [this] {
    const std::string port = RigPortEdit->text().trimmed().toStdString();
    if (port.empty() || port == state_.RigPort) {
      RigPortEdit->setText(QString::fromStdString(state_.RigPort));
      return;
    }
    state_.RigPort = port;
    Run([&] { core_.RigSettingsChange(); });
  });
}

void TForm1::Run(const std::function<void()>& handler) {
  handler();
  Refresh();
}

void TForm1::Connect(QTimer& timer1, QTimer& timer2) {
  OperatorHandlers& h = core_.Handlers();
  connect(&timer1, &QTimer::timeout, this, [this, &h] { Run([&] { h.Timer1Timer(); }); });
  connect(&timer2, &QTimer::timeout, this, [this, &h] { Run([&] { h.Timer2Timer(); }); });
  connect(SpeedButton1, &QPushButton::clicked, this,
          [this, &h](bool down) { Run([&] { h.SpeedButton1Click(down); }); });
  connect(SpeedButton2, &QPushButton::clicked, this,
          [this, &h](bool down) { Run([&] { h.SpeedButton2Click(down); }); });
  connect(Button3, &QPushButton::clicked, this, [this, &h] { Run([&] { h.Button3Click(); }); });
  connect(Button4, &QPushButton::clicked, this, [this] { Run(Button4Click); });
  connect(Button5, &QPushButton::clicked, this, [this, &h] { Run([&] { h.Button5Click(); }); });
  connect(Button1, &QPushButton::clicked, this, [this] { Run(Button1Click); });
  connect(Button2, &QPushButton::clicked, this, [this] { Run(Button2Click); });
  connect(CheckBox15, &QCheckBox::clicked, this,
          [this, &h](bool on) { Run([&] { h.CheckBox15Click(on); }); });
  connect(CheckBox18, &QCheckBox::clicked, this,
          [this](bool on) { Run([&] { state_.CheckBox18.checked = on; }); });
  connect(Button7, &QPushButton::clicked, this, [this, &h] { Run([&] { h.Button7Click(); }); });
  connect(Button8, &QPushButton::clicked, this, [this, &h] { Run([&] { h.Button8Click(); }); });
  connect(ComboBox4, &QComboBox::currentTextChanged, this,
          [this](const QString& text) { state_.ComboBox4.text = text.toStdString(); });
  for (auto [edit, control] : {std::pair{Edit2, &state_.Edit2}, std::pair{Edit3, &state_.Edit3},
                               std::pair{Edit4, &state_.Edit4}, std::pair{Edit5, &state_.Edit5}}) {
    connect(edit, &QLineEdit::textEdited, this,
            [control](const QString& text) { control->text = text.toStdString(); });
  }
  connect(CheckBox1, &QCheckBox::clicked, this,
          [this, &h](bool on) { Run([&] { h.CheckBox1Click(on); }); });
  connect(CheckBox3, &QCheckBox::clicked, this,
          [this, &h](bool on) { Run([&] { h.CheckBox3Click(on); }); });
  connect(CheckBoxRobust, &QCheckBox::clicked, this,
          [this](bool on) { state_.Demod = on ? Demodulation::kRobust : Demodulation::kExact; });
  for (auto [box, control] :
       {std::pair{CheckBox2, &state_.CheckBox2}, std::pair{CheckBox4, &state_.CheckBox4},
        std::pair{CheckBox5, &state_.CheckBox5}}) {
    connect(box, &QCheckBox::clicked, this, [control](bool on) { control->checked = on; });
  }
  connect(TrackBar1, &QSlider::valueChanged, this,
          [this](int value) { state_.TrackBar1.position = value; });
  connect(TrackBar2, &QSlider::valueChanged, this, [this](int value) {
    state_.TrackBar2.position = value;
    Run([&] { core_.TrackBar2Change(); });
  });
  connect(TrackBar3, &QSlider::valueChanged, this, [this](int value) {
    state_.TrackBar3.position = value;
    Run([&] { core_.TrackBar3Change(); });
  });
  connect(TrackBar4, &QSlider::valueChanged, this, [this](int value) {
    state_.TrackBar4.position = value;
    Run([&] { core_.TrackBar4Change(); });
  });
  connect(RadioButton1, &QRadioButton::toggled, this, [this](bool wave) {
    state_.WaveOutput = wave;
    Run([&] { core_.RadioButton1Click(); });
  });
  connect(RadioButton3, &QRadioButton::toggled, this, [this, &h](bool on) {
    if (on) Run([&] { h.RadioButton3Click(); });
  });
  connect(RadioButton4, &QRadioButton::toggled, this, [this, &h](bool on) {
    if (on) Run([&] { h.RadioButton4Click(); });
  });
  connect(RadioButton5, &QRadioButton::toggled, this,
          [this](bool left) { state_.LeftChannel = left; });
  connect(ComboBox1, &QComboBox::activated, this,
          [this](int index) { Run([&] { core_.ComboBox1Change(index); }); });
  connect(ComboBox2, &QComboBox::activated, this,
          [this](int index) { Run([&] { core_.ComboBox2Change(index); }); });
  core_.SetBlockListener([this] { Refresh(); });
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  OperatorHandlers& h = core_.Handlers();
  const bool edit3 = watched == Edit3;
  const bool mouse =
      event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
  // Only the left button copies or resets; the others keep their usual meaning in the field.
  if (mouse && static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) {
    return QWidget::eventFilter(watched, event);
  }
  if (event->type() == QEvent::MouseButtonPress) {
    Run([&] { edit3 ? h.Edit3Click() : h.Edit4Click(); });
  } else if (event->type() == QEvent::MouseButtonDblClick) {
    Run([&] { edit3 ? h.Edit3DblClick() : h.Edit4DblClick(); });
  }
  return QWidget::eventFilter(watched, event);
}

void TForm1::closeEvent(QCloseEvent* event) {
  state_.FormTop = y();
  state_.FormLeft = x();
  if (core_.FormClose()) {
    event->accept();
  } else {
    event->ignore();  // the settings were not written: stay open
  }
}

void TForm1::ApplyWindowFlags() {
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint;
  if (state_.AlwaysOnTop) flags |= Qt::WindowStaysOnTopHint;
  const bool visible = isVisible();
  setWindowFlags(flags);
  topmostShown_ = state_.AlwaysOnTop;
  if (visible) show();
}

void TForm1::Refresh() {
  const MainState& s = state_;
  // Signals of programmatic changes would run the handlers again.
  const QSignalBlocker blockers[] = {
      QSignalBlocker(SpeedButton1), QSignalBlocker(SpeedButton2), QSignalBlocker(CheckBox15),
      QSignalBlocker(CheckBox18),   QSignalBlocker(ComboBox4),    QSignalBlocker(CheckBox1),
      QSignalBlocker(TrackBar1),    QSignalBlocker(TrackBar4),    QSignalBlocker(ComboBox2),
      QSignalBlocker(ComboBox1),    QSignalBlocker(RadioButton1), QSignalBlocker(RadioButton2),
      QSignalBlocker(TrackBar3),    QSignalBlocker(TrackBar2),    QSignalBlocker(CheckBox4),
      QSignalBlocker(CheckBox5),    QSignalBlocker(CheckBox2),    QSignalBlocker(RadioButton3),
      QSignalBlocker(RadioButton4), QSignalBlocker(CheckBox3),    QSignalBlocker(RadioButton5),
      QSignalBlocker(RadioButton6),
  };
  const QSignalBlocker robustBlocker(CheckBoxRobust);
  // A lost sound input or receiver shows in the title, which the compact window keeps in view.
  QString title = baseTitle_;
  if (core_.SoundInputLost()) title += " - 録音入力なし (2秒ごとに再接続中)";
  if (s.ReceiverLost) title += " - 受信機切断中 (2秒ごとに再接続中)";
  if (windowTitle() != title) setWindowTitle(title);
  SetText(Label6, s.Label6);
  SetText(Label7, s.Label7);
  SetText(Label28, s.Label28);
  SetText(Label21, s.Label21);
  SetText(Label22, s.Label22);
  SetLamp(Panel1, s.Panel1);
  SetLamp(Panel4, s.Panel4);
  SetLamp(Panel2, s.Panel2);
  SetLamp(Panel3, s.Panel3);
  SpeedButton1->setChecked(s.TrackingOn);
  SpeedButton2->setChecked(s.MonitorOn);

  SetText(Label16, s.ControlFrequencyText);
  SetCheck(CheckBox15, s.CheckBox15);
  SetEdit(Edit2, s.Edit2);
  SetEdit(Edit3, s.Edit3);
  SetEdit(Edit4, s.Edit4);
  SetCheck(CheckBox18, s.CheckBox18);
  SetItems(ComboBox4, s.IdPassList);
  if (ComboBox4->currentText().toStdString() != s.ComboBox4.text) {
    ComboBox4->setEditText(QString::fromStdString(s.ComboBox4.text));
  }
  ComboBox4->setEnabled(s.ComboBox4.enabled);
  Button7->setEnabled(s.Button7Enabled);
  Button8->setEnabled(s.Button8Enabled);

  CheckBox1->setChecked(s.CheckBox1.checked);
  CheckBoxRobust->setChecked(s.Demod == Demodulation::kRobust);
  SetSlider(TrackBar1, s.TrackBar1);
  SetSlider(TrackBar4, s.TrackBar4);
  Image1->SetBar(s.Image1);
  Image3->SetBar(s.Image3);
  SetItems(ComboBox2, s.ComboBox2Items);
  ComboBox2->setCurrentIndex(s.ComPortIndex < ComboBox2->count() ? s.ComPortIndex : -1);
  ComboBox1->setCurrentIndex(s.RadioModel < ComboBox1->count() ? s.RadioModel : -1);
  SetEdit(Edit5, s.Edit5);
  ComboBox2->setVisible(!s.RigBoxesShown);
  Edit5->setVisible(!s.RigBoxesShown);
  RigPortEdit->setVisible(s.RigBoxesShown);
  RigNumberEdit->setVisible(s.RigBoxesShown);
  // Not while the operator is typing there.
  const QString rigPort = QString::fromStdString(s.RigPort);
  const QString rigNumber = QString::number(s.RigModel);
  if (!RigPortEdit->hasFocus() && RigPortEdit->text() != rigPort) RigPortEdit->setText(rigPort);
  if (!RigNumberEdit->hasFocus() && RigNumberEdit->text() != rigNumber) {
    RigNumberEdit->setText(rigNumber);
  }

  RadioButton1->setChecked(s.WaveOutput);
  RadioButton2->setChecked(!s.WaveOutput);
  SetSlider(TrackBar3, s.TrackBar3);
  SetSlider(TrackBar2, s.TrackBar2);
  SetCheck(CheckBox4, s.CheckBox4);
  SetCheck(CheckBox5, s.CheckBox5);
  SetCheck(CheckBox2, s.CheckBox2);
  RadioButton3->setChecked(s.McAccessSelected());
  RadioButton4->setChecked(!s.McAccessSelected());
  SetCheck(CheckBox3, s.CheckBox3);
  RadioButton5->setChecked(s.LeftChannel);
  RadioButton6->setChecked(!s.LeftChannel);

  const QSize client(kClientWidth, s.FormHeight - kFrameHeight);
  if (size() != client || minimumSize() != client) setFixedSize(client);
  if (topmostShown_ != s.AlwaysOnTop) ApplyWindowFlags();
}

}  // namespace tarvo
