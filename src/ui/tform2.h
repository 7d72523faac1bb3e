// The control-channel frequency window: keypad, stored list and heard lines, painted from the
// core's FrequencySelection; every event goes to its handlers, then both windows repaint.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <functional>

#include "core/dialogs/frequency_selection.h"

namespace tarvo {

class TForm2 : public QWidget {
 public:
  static constexpr int kClientWidth = 521;
  static constexpr int kClientHeight = 172;

  // mainWindow owns this window and is what it centres over; refresh repaints the main window.
  TForm2(FrequencySelection& window, QWidget* mainWindow, std::function<void()> refresh);

  // Paints the display, the memo and both lists from the core.
  void Refresh();

  // Where the window goes when shown: centred over the main window, halves truncated.
  static QPoint CentredOver(const QRect& mainWindow, const QSize& own);

  QListWidget* ListBox1;
  QLineEdit* Edit1;
  QFrame* Panel2;
  QLabel* Label1;
  QFrame* Panel1;
  std::array<QPushButton*, 11> Keypad;  // Button1 .. Button11
  QPushButton* Button15;
  QPushButton* Button12;
  QPushButton* Button13;
  QListWidget* ListBox2;
  QPushButton* Button17;
  QPushButton* Button16;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Run(const std::function<void()>& handler);

  FrequencySelection& window_;
  QWidget* mainWindow_;
  std::function<void()> refresh_;
};

}  // namespace tarvo
