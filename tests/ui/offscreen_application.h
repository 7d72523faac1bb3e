// The QApplication the window tests run under, on the offscreen platform.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <utility>

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

// Holds the shared application until the tests end. It must go before the program's exit: at
// exit Qt's own statics may be gone first, and tearing down its input devices then crashes.
class SharedApplication : public ::testing::Environment {
 public:
  explicit SharedApplication(std::unique_ptr<QApplication> app) : app_(std::move(app)) {}
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};

// The one application the window tests share.
inline void EnsureOffscreenApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  ::testing::AddGlobalTestEnvironment(new SharedApplication(MakeOffscreenApplication()));
}

}  // namespace tarvo::testing
