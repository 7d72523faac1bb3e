#include "core/radio/command_builders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/radio/frequency_encodings.h"
#include "core/radio/receiver_model.h"

namespace tarvo {
namespace {

// Frames as hex, texts as they are, other steps as a comment line; key intervals shown.
std::vector<std::string> Render(const CommandList& commands) {
  std::vector<std::string> out;
  for (const SerialCommand& c : commands) {
    switch (c.kind) {
      case SerialCommand::Kind::kBytes:
        out.push_back(HexBytes(c.data));
        break;
      case SerialCommand::Kind::kText:
        out.push_back(c.keyIntervalMs > 0 ? "[" + std::to_string(c.keyIntervalMs) + "ms]" + c.data
                                          : c.data);
        break;
      case SerialCommand::Kind::kLineRate:
        out.push_back("# rate " + std::to_string(c.value));
        break;
      case SerialCommand::Kind::kPause:
        out.push_back("# pause " + std::to_string(c.value));
        break;
    }
  }
  return out;
}

MainState StateWithAddress(const char* edit5) {
  MainState state;
  state.Edit5.text = edit5;
  return state;
}

using Lines = std::vector<std::string>;
const char* const kCivMode = "FE FE 4A E0 06 05 02 FD";

TEST(CommandBuilders, TuneToALineOfEachModel) {
  struct Case {
    int model;
    const char* frequency;
    Lines expected;
  };
  const Case cases[] = {
      {kModelIcomCiv, "850.01250", {"FE FE 4A E0 05 00 25 01 50 08 FD", kCivMode}},
      {kModelIcomPcr, "850.01250", {"K00850012500050100\r\n"}},
      {kModelIcPcr100, "850.01250", {"K00850012500050100\r\n"}},
      {kModelAr5000, "850.01250", {"RF850.01250\r\n", "MD0\r\n", "BW2\r\n"}},
      {kModelAr8600, "850.01250", {"RF850.01250\r\n", "MD1\r\n"}},
      {kModelYaesuCat, "850.01250", {"05 11 04 22 01"}},
      {kModelDjX2000,
       "850.01250",
       {"[15ms]KEY 8\r\nKEY 5\r\nKEY 0\r\nKEY .\r\nKEY 0\r\nKEY 1\r\nKEY 2\r\nKEY 5\r\nKEY "
        "ENT\r\n"}},
      {kModelDjX11, "850.01250", {"AL~FW00850012500\r\n"}},
      {kModelCount, "850.01250", {}},
      {-1, "850.01250", {}},
      // ICOM limit and the ten-digit string's leading zeros.
      {kModelIcomCiv, "1999.99990", {"FE FE 4A E0 05 00 99 99 99 19 FD", kCivMode}},
      {kModelIcomCiv, "1999.99995", {}},
      {kModelIcomCiv, "2000.00000", {}},
      {kModelIcomCiv, "85.50000", {"FE FE 4A E0 05 00 00 50 85 00 FD", kCivMode}},
      {kModelIcomCiv, "-5.00000", {}},
      {kModelIcomCiv, "abc", {}},
      {kModelIcomPcr, "1999.99990", {"K01999999900050100\r\n"}},
      {kModelIcomPcr, "2000.00000", {}},
      // AR texts go out as given, not reformatted.
      {kModelAr8600, "850.0125", {"RF850.0125\r\n", "MD1\r\n"}},
      // YAESU takes three megahertz digits only.
      {kModelYaesuCat, "100.00000", {"00 98 96 80 01"}},
      {kModelYaesuCat, "999.99999", {"05 F5 E0 FF 01"}},
      {kModelYaesuCat, "85.50000", {}},
      {kModelYaesuCat, "1000.00000", {}},
      // Eight keys: an empty one below 100 MHz, the last digit lost from 1000 MHz.
      {kModelDjX2000,
       "85.50000",
       {"[15ms]KEY 8\r\nKEY 5\r\nKEY .\r\nKEY 5\r\nKEY 0\r\nKEY 0\r\nKEY 0\r\nKEY \r\nKEY "
        "ENT\r\n"}},
      {kModelDjX2000,
       "1000.00000",
       {"[15ms]KEY 1\r\nKEY 0\r\nKEY 0\r\nKEY 0\r\nKEY .\r\nKEY 0\r\nKEY 0\r\nKEY 0\r\nKEY "
        "ENT\r\n"}},
      // 1.000001 x 1e6 is 1000000.9999999999: truncated, not rounded.
      {kModelDjX11, "1.000001", {"AL~FW00001000000\r\n"}},
      {kModelDjX11, "0.00399", {"AL~FW00000003989\r\n"}},
      {kModelDjX11, "-1.00000", {}},
      {kModelDjX11, "10000.00000", {}},
  };
  const MainState state = StateWithAddress("4A");
  for (const Case& c : cases) {
    EXPECT_EQ(Render(BuildTune(state, c.model, c.frequency)), c.expected)
        << "model " << c.model << " at " << c.frequency;
  }
}

TEST(CommandBuilders, DjX2000KeysAtTheConfiguredInterval) {
  MainState state;
  state.CommandInterval = 40;
  const CommandList keys = BuildTune(state, kModelDjX2000, "850.01250");
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].keyIntervalMs, 40);
  EXPECT_EQ(keys[0].data.size(), 65u);
}

TEST(CommandBuilders, LevelsOfEachModel) {
  struct Case {
    int model;
    int level;
    Lines expected;
  };
  const Case cases[] = {
      {kModelIcomCiv, 0, {"FE FE 4A E0 14 01 00 00 FD"}},
      {kModelIcomCiv, 80, {"FE FE 4A E0 14 01 00 80 FD"}},
      {kModelIcomCiv, 255, {"FE FE 4A E0 14 01 02 55 FD"}},
      {kModelIcomPcr, 0, {"J4000\r\n"}},
      {kModelIcomPcr, 80, {"J4050\r\n"}},
      {kModelIcomPcr, 255, {"J40FF\r\n"}},
      {kModelIcPcr100, 0, {}},
      {kModelIcPcr100, 80, {"J4050\r\n"}},
      {kModelAr5000, 0, {"DA255\r\n"}},
      {kModelAr5000, 1, {"DA000\r\n"}},
      {kModelAr5000, 255, {"DA000\r\n"}},
      {kModelYaesuCat, 80, {}},
      {kModelDjX2000, 80, {}},
      {kModelDjX11, 80, {}},
      {kModelAr8600, 80, {}},
      {kModelCount, 80, {}},
  };
  const MainState state = StateWithAddress("4A");
  for (const Case& c : cases) {
    EXPECT_EQ(Render(BuildSetLevel(state, c.model, c.level)), c.expected)
        << "model " << c.model << " level " << c.level;
  }
}

TEST(CommandBuilders, CivAddressFromTheEditText) {
  struct Case {
    const char* text;
    int address;
  };
  const Case cases[] = {
      {"E0", 0xE0},  {"4A", 0x4A}, {"00", 0x00},
      {"FF", 0xFF},  {"4a", 0x6A},  // 'a' is not a hex digit here: 4 x 16 + 42
      {"e0", 0xE0},  // a lower-case first letter loses its difference in the top bits
      {"4A7", 0x4A}, {"A", 0x0A},  {"", 0x00},
  };
  for (const Case& c : cases) EXPECT_EQ(CivAddress(c.text), c.address) << '"' << c.text << '"';

  const MainState state = StateWithAddress("E0");
  EXPECT_EQ(Render(BuildTune(state, kModelIcomCiv, "850.01250")),
            (Lines{"FE FE E0 E0 05 00 25 01 50 08 FD", "FE FE E0 E0 06 05 02 FD"}));
  EXPECT_EQ(Render(BuildSetLevel(state, kModelIcomCiv, 80)), Lines{"FE FE E0 E0 14 01 00 80 FD"});
}

TEST(CommandBuilders, PcrPreparationSwitchesRateAndTunesTheControlChannel) {
  MainState state;
  state.ControlFrequencyText = "851.01250";
  const Lines expected = {
      " \r\n",
      "H101\r\n",
      "G105\r\n",
      "G300\r\n",
      "H1?\r\n",
      "# rate 38400",
      "# pause 500",
      "H101\r\n",
      "G4?\r\n",
      "G105\r\n",
      "G300\r\n",
      "H1?\r\n",
      "G301\r\n",
      "H1?\r\n",
      "GE?\r\n",
      "GD?\r\n",
      "K00851012500050100\r\n",
      "J4100\r\n",
      "J5100\r\n",
      "J5000\r\n",
      "J4380\r\n",
      "J4500\r\n",
      "J4600\r\n",
      "J4700\r\n",
      "J4A80\r\n",
      "LD82000\r\n",
      "J4000\r\n",
      "LE20050\r\n",
      "LE20040\r\n",
      "H1?\r\n",
  };
  EXPECT_EQ(Render(BuildPrepare(state, kModelIcomPcr)), expected);
  EXPECT_EQ(Render(BuildPrepare(state, kModelIcPcr100)), expected);

  // A control frequency the PCR cannot take leaves only its tune out.
  state.ControlFrequencyText = "2500.00000";
  Lines withoutTune = expected;
  withoutTune.erase(withoutTune.begin() + 16);
  EXPECT_EQ(Render(BuildPrepare(state, kModelIcomPcr)), withoutTune);
}

TEST(CommandBuilders, PreparationAndReleaseOfTheOtherModels) {
  struct Case {
    int model;
    Lines prepare;
    Lines release;
  };
  const Case cases[] = {
      {kModelIcomCiv, {}, {}},
      {kModelIcomPcr, {}, {"H100\r\n"}},
      {kModelIcPcr100, {}, {"H100\r\n"}},
      {kModelAr5000, {}, {}},
      {kModelYaesuCat, {"00 00 00 00 00"}, {"00 00 00 00 80"}},
      {kModelDjX2000, {"START\r\n"}, {"Q\r\n"}},
      {kModelDjX11, {}, {}},
      {kModelAr8600, {}, {}},
      {kModelCount, {}, {}},
  };
  const MainState state;
  for (const Case& c : cases) {
    if (c.model != kModelIcomPcr && c.model != kModelIcPcr100) {
      EXPECT_EQ(Render(BuildPrepare(state, c.model)), c.prepare) << "model " << c.model;
    }
    EXPECT_EQ(Render(BuildRelease(c.model)), c.release) << "model " << c.model;
  }
}

TEST(FrequencyEncodings, TextsTakeSpacesButNoDecimalComma) {
  EXPECT_EQ(ParseMegahertz(" 850.5 "), 850.5);
  EXPECT_FALSE(ParseMegahertz("850,5").has_value());
}

}  // namespace
}  // namespace tarvo
