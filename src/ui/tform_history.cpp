#include "ui/tform_history.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

namespace tarvo {
namespace {

const char* const kColumns[] = {"時刻", "種類",    "デコーダ", "基地局", "ID",
                                "回線", "種別/ch", "動作",     "理由",   "秒"};
constexpr int kColumnCount = sizeof kColumns / sizeof kColumns[0];

QString Cell(const TrackingEvent& e, int column) {
  switch (column) {
    case 0: {
      // Date and time to the second; the log keeps the milliseconds and the offset.
      const std::string shown = e.time.size() >= 19 ? e.time.substr(0, 19) : e.time;
      return QString::fromStdString(shown).replace('T', ' ');
    }
    case 1:
      return QString::fromStdString(e.event);
    case 2:
      return QString::fromStdString(e.decoder);
    case 3:
      return QString::fromStdString(e.station);
    case 4:
      return QString::fromStdString(e.id);
    case 5:
      return QString::fromStdString(e.line);
    case 6:
      if (!e.lineType.empty()) return QString::fromStdString(e.lineType);
      return e.channel ? QString::number(*e.channel) : QString();
    case 7:
      return QString::fromStdString(!e.action.empty() ? e.action : e.state);
    case 8:
      return QString::fromStdString(e.reason);
    case 9:
      return e.seconds ? QString::number(*e.seconds, 'f', 1) : QString();
    default:
      return {};
  }
}

}  // namespace

int HistoryTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(matching_.size());
}

int HistoryTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant HistoryTableModel::data(const QModelIndex& index, int role) const {
  const TrackingEvent* row = Row(index.row());
  if (row == nullptr) return {};
  if (role == Qt::DisplayRole) return Cell(*row, index.column());
  if (role == Qt::ForegroundRole && row->action == "skip") return QColor(Qt::darkGray);
  return {};
}

QVariant HistoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  if (section < 0 || section >= kColumnCount) return {};
  return QString::fromUtf8(kColumns[section]);
}

const TrackingEvent* HistoryTableModel::Row(int row) const {
  if (row < 0 || row >= static_cast<int>(matching_.size())) return nullptr;
  return matching_[static_cast<std::size_t>(row)];
}

void HistoryTableModel::Rebuild() {
  matching_.clear();
  total_ = history_.Rows().size();
  for (const TrackingEvent& row : history_.Rows()) {
    if (CallHistory::Matches(row, filter_)) matching_.push_back(&row);
  }
}

void HistoryTableModel::SetFilter(const std::string& filter) {
  beginResetModel();
  filter_ = filter;
  Rebuild();
  endResetModel();
}

void HistoryTableModel::Reload() {
  beginResetModel();
  Rebuild();
  endResetModel();
}

void HistoryTableModel::NewestAdded() {
  const auto& rows = history_.Rows();
  // At capacity the oldest row went as the newest came: its pointer went with it.
  if (rows.size() != total_ + 1) return Reload();
  total_ = rows.size();
  if (!CallHistory::Matches(rows.front(), filter_)) return;
  beginInsertRows({}, 0, 0);
  matching_.insert(matching_.begin(), &rows.front());
  endInsertRows();
}

TFormHistory::TFormHistory(CallHistory& history, std::filesystem::path logPath, QWidget* mainWindow,
                           std::function<void()> idControlsChanged)
    : QWidget(mainWindow, Qt::Window),
      history_(history),
      logPath_(std::move(logPath)),
      idControlsChanged_(std::move(idControlsChanged)) {
  setObjectName("FormHistory");
  setWindowTitle("通話履歴");
  resize(760, 420);
  Label1 = new QLabel(this);
  Label1->setObjectName("Label1");
  Label2 = new QLabel(this);
  Label2->setObjectName("Label2");
  Label2->setStyleSheet("color: red; font-weight: bold;");
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  Edit1->setPlaceholderText("ID または回線で絞り込み");
  Model = new HistoryTableModel(history_);
  Model->setParent(this);
  Table = new QTableView(this);
  Table->setObjectName("Table");
  Table->setModel(Model);
  Table->setSelectionBehavior(QAbstractItemView::SelectRows);
  Table->setSelectionMode(QAbstractItemView::SingleSelection);
  Table->verticalHeader()->hide();
  Table->verticalHeader()->setDefaultSectionSize(18);
  Table->horizontalHeader()->setStretchLastSection(true);
  const int widths[kColumnCount] = {150, 60, 70, 50, 50, 80, 60, 60, 100, 40};
  for (int column = 0; column < kColumnCount; ++column) {
    Table->setColumnWidth(column, widths[column]);
  }
  Button1 = new QPushButton("IDパスに追加", this);
  Button1->setObjectName("Button1");
  Button2 = new QPushButton("ID欄へ", this);
  Button2->setObjectName("Button2");

  auto* top = new QHBoxLayout;
  top->addWidget(Label1, 1);
  top->addWidget(Edit1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Label2, 1);
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(Table, 1);
  layout->addLayout(buttons);

  connect(Edit1, &QLineEdit::textChanged,
          [this](const QString& text) { Model->SetFilter(text.trimmed().toStdString()); });
  connect(Table->selectionModel(), &QItemSelectionModel::selectionChanged,
          [this] { UpdateButtons(); });
  connect(Model, &QAbstractItemModel::modelReset, [this] { UpdateButtons(); });
  connect(Button1, &QPushButton::clicked, [this] {
    if (const TrackingEvent* call = SelectedCall(); call && history_.AddToPassList(call->id)) {
      idControlsChanged_();
    }
  });
  connect(Button2, &QPushButton::clicked, [this] {
    if (const TrackingEvent* call = SelectedCall(); call && history_.PutIntoFreeIdField(call->id)) {
      idControlsChanged_();
    }
  });
  history_.SetListener([this] {
    Model->NewestAdded();
    RefreshHeader();
  });
  // The silence counts up between events too.
  headerTimer_.setInterval(1000);
  connect(&headerTimer_, &QTimer::timeout, [this] { RefreshHeader(); });
  UpdateButtons();
}

void TFormHistory::showEvent(QShowEvent* event) {
  if (!history_.IsOpen()) {
    history_.Open(logPath_);
    Model->Reload();
  }
  RefreshHeader();
  headerTimer_.start();
  QWidget::showEvent(event);
}

void TFormHistory::RefreshHeader() {
  Label1->setText(QString::fromStdString(history_.HealthText()));
  Label2->setText(QString::fromStdString(history_.WarningText()));
}

const TrackingEvent* TFormHistory::SelectedCall() const {
  const QModelIndexList selected = Table->selectionModel()->selectedRows();
  if (selected.isEmpty()) return nullptr;
  const TrackingEvent* row = Model->Row(selected.front().row());
  if (row == nullptr || row->id.empty()) return nullptr;
  return row;
}

void TFormHistory::UpdateButtons() {
  const bool call = SelectedCall() != nullptr;
  Button1->setEnabled(call);
  Button2->setEnabled(call);
}

}  // namespace tarvo
