#include "core/base/megahertz_text.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(MegahertzText, RoundsTheExactValueToFiveDecimals) {
  struct Case {
    double megahertz;
    const char* text;
  };
  const Case cases[] = {
      {850.012499999, "850.01250"},  // rounds up into the fifth decimal
      {849.999995, "850.00000"},     // stored just above the half: carries into the integer part
      {0.015625, "0.01562"},         // an exact half goes to the even digit
      {0.046875, "0.04688"},        {0.0, "0.00000"}, {1000.0, "1000.00000"}, {-0.0, "-0.00000"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatMegahertz(c.megahertz), c.text) << c.megahertz;
  }
}

}  // namespace
}  // namespace tarvo
