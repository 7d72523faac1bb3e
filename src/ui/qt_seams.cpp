#include "ui/qt_seams.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

namespace tarvo {

void QtNotice::Beep() {
  QApplication::beep();
}

void QtNotice::ShowError(const std::string& text) {
  QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(),
                        QString::fromStdString(text), QMessageBox::Ok);
}

void QtEventPump::ProcessPendingEvents() {
  QCoreApplication::processEvents();
}

void QtClock::SleepMs(int ms) {
  QThread::msleep(static_cast<unsigned long>(ms));
}

}  // namespace tarvo
