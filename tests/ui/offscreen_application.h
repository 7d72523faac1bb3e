// The one QApplication every window test in this program shares, on the offscreen platform.
#pragma once

#include <QApplication>

namespace tarvo::testing {

inline void EnsureOffscreenApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "tarvo-ui-tests";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication app(argc, argv);
}

}  // namespace tarvo::testing
