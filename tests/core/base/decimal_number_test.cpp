#include "core/base/decimal_number.h"

#include <gtest/gtest.h>

#include "core/base/channel_grid.h"
#include "core/base/control_frequency.h"
#include "support/comma_locale.h"

namespace tarvo {
namespace {

TEST(DecimalNumber, ReadsThePointWhateverTheLocale) {
  TARVO_UNDER_COMMA_DECIMAL_LOCALE(locale);
  struct Case {
    const char* text;
    std::optional<double> value;
  };
  const Case cases[] = {
      {"851.0125", 851.0125},
      {" 851.0125 ", 851.0125},
      {"+850", 850.0},
      {"-0.5", -0.5},
      {"8.5e2", 850.0},
      {"8500125", 8500125.0},
      {"1e-300", 1e-300},
      {"851,0125", {}},
      {"", {}},
      {".", {}},
      {"850.0.1", {}},
      {"+-1", {}},
      {"inf", {}},
      {"nan", {}},
      {"1e999", {}},
      {"850MHz", {}},
      {"0x352", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseDecimalNumber(c.text), c.value) << c.text;
  EXPECT_EQ(MegahertzValue("851.0125"), 851.0125);
  EXPECT_EQ(ExactNanoMegahertz("8.510125e2"), 851012500000);
}

}  // namespace
}  // namespace tarvo
