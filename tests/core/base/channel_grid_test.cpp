#include "core/base/channel_grid.h"

#include <gtest/gtest.h>

#include "core/base/id_admission.h"

namespace tarvo {
namespace {

TEST(ChannelGrid, StepAndOffsetComeFromExactHundredHertzCounts) {
  struct Case {
    const char* text;
    double step;
    double offset;
  };
  const Case cases[] = {
      {"850.00000", 0.0125, 0.0125}, {"850.00625", 0.00625, 0.0125}, {"850.01250", 0.0125, 0.0},
      {"849.98750", 0.0125, 0.0},    {"851.01250", 0.0125, 0.0},     {"850.02500", 0.0125, 0.0125},
      {"850.0125", 0.0125, 0.0},     {"850.1", 0.0125, 0.0125},      {"858.99375", 0.00625, 0.0125},
      {"850.01255", 0.0125, 0.0},  // 250.5 counts truncate to 250
  };
  for (const Case& c : cases) {
    const auto value = ExactNanoMegahertz(c.text);
    ASSERT_TRUE(value.has_value()) << c.text;
    EXPECT_EQ(McAccessChannelStepFor(*value), c.step) << c.text;
    EXPECT_EQ(RasterOffsetFor(*value), c.offset) << c.text;
  }
}

TEST(ChannelGrid, TextsThatAreNotNumbersAreRejected) {
  for (const char* text : {"", "abc", "850.0.1", "850MHz", ".", "-"}) {
    EXPECT_FALSE(ExactNanoMegahertz(text).has_value()) << text;
  }
  EXPECT_EQ(ExactNanoMegahertz(" 850.5 "), 850500000000);
  EXPECT_EQ(ExactNanoMegahertz("8.5e2"), 850000000000);
}

TEST(IdAdmission, SpecificReceptionUsesTheEntriesAndIgnoresThePassList) {
  MainState s;
  EXPECT_TRUE(IdAdmitted(s, "1A7"));
  s.CheckBox18.checked = true;
  s.IdPassList = {"100", "1A7"};
  EXPECT_FALSE(IdAdmitted(s, "1A7"));
  EXPECT_TRUE(IdAdmitted(s, "1a7"));  // exact, case-sensitive
  s.CheckBox15.checked = true;
  EXPECT_FALSE(IdAdmitted(s, "1A7"));  // entries are all "---"
  EXPECT_TRUE(IdAdmitted(s, "---"));
  s.Edit4.text = "1A7";
  EXPECT_TRUE(IdAdmitted(s, "1A7"));  // the pass list no longer applies
  EXPECT_FALSE(IdInPassList(s, "1A7"));
}

}  // namespace
}  // namespace tarvo
