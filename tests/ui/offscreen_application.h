// The QApplication the window tests run under, on the offscreen platform.
#pragma once

#include <QApplication>
#include <memory>

namespace tarvo::testing {

// A new application ended when the caller drops it, or nullptr when one already runs.
inline std::unique_ptr<QApplication> MakeOffscreenApplication() {
  if (QCoreApplication::instance() != nullptr) return nullptr;
  static int argc = 1;
  static char name[] = "tarvo-ui-tests";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  return std::make_unique<QApplication>(argc, argv);
}

// The one application the window tests share, kept until the program exits.
inline void EnsureOffscreenApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  static const std::unique_ptr<QApplication> app = MakeOffscreenApplication();
}

}  // namespace tarvo::testing
