// The history window: the tracking events in a table, newest on top and updating live, a filter
// on ID or line, the decode health in its header, and the actions that put a caller's ID into the
// pass list or a free ID field.
#pragma once

#include <QAbstractTableModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

#include "core/app/call_history.h"

namespace tarvo {

// The history's rows as Qt's table sees them: all of them, or those matching the filter.
class HistoryTableModel : public QAbstractTableModel {
 public:
  explicit HistoryTableModel(const CallHistory& history) : history_(history) {}

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void SetFilter(const std::string& filter);
  // After the history added its newest event (and may have dropped its oldest).
  void NewestAdded();
  // After the history was loaded.
  void Reload();
  const TrackingEvent* Row(int row) const;

 private:
  void Rebuild();

  const CallHistory& history_;
  std::string filter_;
  std::vector<const TrackingEvent*> matching_;  // filtered rows, newest first
  std::size_t total_ = 0;                       // the history's rows when matching_ was made
};

class TFormHistory : public QWidget {
 public:
  TFormHistory(CallHistory& history, std::filesystem::path logPath, QWidget* mainWindow,
               std::function<void()> idControlsChanged);

  QLabel* Label1;    // decode health
  QLabel* Label2;    // silence warning
  QLineEdit* Edit1;  // filter
  QTableView* Table;
  QPushButton* Button1;  // to the pass list
  QPushButton* Button2;  // to a free ID field
  HistoryTableModel* Model;

  // Repaints the header from the health and the state.
  void RefreshHeader();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  const TrackingEvent* SelectedCall() const;
  void UpdateButtons();

  CallHistory& history_;
  std::filesystem::path logPath_;
  std::function<void()> idControlsChanged_;
  QTimer headerTimer_;
};

}  // namespace tarvo
