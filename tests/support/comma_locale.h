// Runs a test under a comma-decimal number locale (the one the user's desktop may hand the
// program), restoring the previous one afterwards.
#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace tarvo::testing {

class CommaDecimalLocale {
 public:
  CommaDecimalLocale() {
    previous_ = std::setlocale(LC_NUMERIC, nullptr);
    active_ = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  }
  ~CommaDecimalLocale() { std::setlocale(LC_NUMERIC, previous_.c_str()); }
  CommaDecimalLocale(const CommaDecimalLocale&) = delete;
  CommaDecimalLocale& operator=(const CommaDecimalLocale&) = delete;

  // False when the system has no such locale (the install script generates it).
  bool Active() const { return active_; }

 private:
  std::string previous_;
  bool active_ = false;
};

}  // namespace tarvo::testing

// Skips the test when the locale cannot be set.
#define TARVO_UNDER_COMMA_DECIMAL_LOCALE(name) \
  ::tarvo::testing::CommaDecimalLocale name;   \
  if (!name.Active()) GTEST_SKIP() << "no de_DE.UTF-8 locale (locale-gen it)"
