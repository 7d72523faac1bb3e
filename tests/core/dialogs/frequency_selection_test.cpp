#include "core/dialogs/frequency_selection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/file_bytes.h"
#include "support/recorders.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

// The window with a scratch list path, recorders, and a control frequency of 855 MHz.
struct Rig {
  Rig() {
    state.FreqListPath = (dir.path() / "freqlist.txt").string();
    state.ControlFrequencyText = "855.00000";
    state.RadioModel = 3;
  }

  void Type(const std::string& keys) {
    for (char key : keys) window.KeypadKeyClick(key);
  }

  TempDir dir;
  testing::RecordingWorld world;
  MainState state;
  FrequencySelection window{state, world.services()};
};

class FrequencySelectionTest : public ::testing::Test, protected Rig {};

TEST(FrequencySelection, EnterAcceptsOnlyTheBandAndFormatsFiveDecimals) {
  struct Case {
    const char* keys;
    const char* accepted;  // nullptr: out of range
  };
  const Case cases[] = {
      {"851.0125", "851.01250"},
      {"850", "850.00000"},
      {"860", "860.00000"},
      {"849.5", nullptr},
      {"861", nullptr},
      {"860.000001", nullptr},
      {"8500125", nullptr},  // the point forgotten
      {"85001250000000000000000", nullptr},
  };
  for (const Case& c : cases) {
    Rig rig;
    auto& [dir, world, state, window] = rig;
    state.Timer1.SetInterval(3000);
    window.AddChList(852.5);
    rig.Type(c.keys);
    ASSERT_EQ(window.Label1, c.keys);
    window.Button15Click();
    EXPECT_FALSE(window.KeypadActive) << c.keys;
    if (c.accepted != nullptr) {
      EXPECT_EQ(window.Label1, c.accepted);
      EXPECT_EQ(state.ControlFrequencyText, c.accepted);
      ASSERT_EQ(world.receiver.tunes.size(), 1u) << c.keys;
      EXPECT_EQ(world.receiver.tunes[0].frequencyText, c.accepted);
      EXPECT_EQ(world.receiver.tunes[0].model, 3);
      EXPECT_TRUE(window.ListBox2.empty());
      EXPECT_TRUE(world.notice.errors.empty());
    } else {
      EXPECT_EQ(window.Label1, "850.00000") << c.keys;  // not the control frequency
      EXPECT_EQ(state.ControlFrequencyText, "855.00000");
      EXPECT_TRUE(world.receiver.tunes.empty());
      EXPECT_EQ(world.notice.beeps, 1);
      EXPECT_EQ(world.notice.errors, std::vector<std::string>{kOutOfRangeMessage});
      EXPECT_EQ(window.ListBox2.size(), 1u);
      EXPECT_TRUE(window.KeypadEntry.empty());
    }
    // A typed frequency leaves the grid and the timers alone.
    EXPECT_EQ(state.McAccessChannelStep, 0.0125);
    EXPECT_EQ(state.Timer1.Interval(), 3000);
  }
}

TEST(FrequencySelection, EnterOnTextThatIsNoNumberKeepsTheEntry) {
  for (const char* keys : {"", "850..1", "."}) {
    Rig rig;
    auto& [dir, world, state, window] = rig;
    rig.Type(keys);
    window.Button15Click();
    EXPECT_TRUE(window.KeypadActive) << keys;
    EXPECT_EQ(window.KeypadEntry, keys);
    ASSERT_EQ(world.notice.errors.size(), 1u);
    EXPECT_NE(world.notice.errors[0].find("'" + std::string(keys) + "'"), std::string::npos);
    EXPECT_TRUE(world.receiver.tunes.empty());
    EXPECT_EQ(state.ControlFrequencyText, "855.00000");
  }
}

TEST_F(FrequencySelectionTest, StoredEntryBecomesTheControlFrequencyWithItsGrid) {
  WriteBytes(state.FreqListPath,
             "850.01250MHz ABC\r\n850.1\r\n855.00625MHz 山\r\n\r\nabcdefghiMHz x\r\n");
  window.Create();
  struct Case {
    int index;
    DecoderType decoder;
    const char* text;  // nullptr: refused
    double step;
    double offset;
  };
  const Case cases[] = {
      {0, DecoderType::kMcAccess, "850.01250", 0.0125, 0.5},
      {1, DecoderType::kJsmr, "850.1", 0.5, 0.0125},
      {2, DecoderType::kMcAccess, "855.00625", 0.00625, 0.5},
      {2, DecoderType::kJsmr, "855.00625", 0.5, 0.0125},
      {0, DecoderType::kJsmr, "850.01250", 0.5, 0.0},
      {3, DecoderType::kMcAccess, nullptr, 0.5, 0.5},  // empty line
      {4, DecoderType::kJsmr, nullptr, 0.5, 0.5},      // "abcdefghi"
  };
  for (const Case& c : cases) {
    world.receiver.tunes.clear();
    world.notice.errors.clear();
    state.ControlFrequencyText = "855.00000";
    state.McAccessChannelStep = 0.5;  // marks "not derived"
    state.RasterOffset = 0.5;
    state.Decoder = c.decoder;
    state.Timer1.SetInterval(3000);
    state.Timer2.SetInterval(60000);
    window.AddChList(851.0);
    window.ListBox1Click(c.index);
    if (c.text != nullptr) {
      EXPECT_EQ(state.ControlFrequencyText, c.text);
      EXPECT_EQ(window.Label1, c.text);
      ASSERT_EQ(world.receiver.tunes.size(), 1u);
      EXPECT_EQ(world.receiver.tunes[0].frequencyText, c.text);
      EXPECT_EQ(state.Timer1.Interval(), 0);
      EXPECT_EQ(state.Timer2.Interval(), 0);
      EXPECT_TRUE(window.ListBox2.empty());
      EXPECT_TRUE(world.notice.errors.empty());
    } else {
      EXPECT_EQ(state.ControlFrequencyText, "855.00000") << c.index;
      EXPECT_TRUE(world.receiver.tunes.empty());
      EXPECT_EQ(state.Timer1.Interval(), 3000);
      ASSERT_EQ(world.notice.errors.size(), 1u);
      const std::string named = "'" + window.ListBox1[c.index].substr(0, 9) + "'";
      EXPECT_NE(world.notice.errors[0].find(named), std::string::npos);
    }
    EXPECT_EQ(state.McAccessChannelStep, c.step) << c.index;
    EXPECT_EQ(state.RasterOffset, c.offset) << c.index;
  }
}

TEST_F(FrequencySelectionTest, ListClicksWaitUntilTheEntryIsCancelled) {
  WriteBytes(state.FreqListPath, "853.00000MHz\r\n");
  window.Create();
  Type("85");
  window.ListBox1Click(0);
  EXPECT_EQ(state.ControlFrequencyText, "855.00000");
  EXPECT_EQ(window.Label1, "85");
  EXPECT_TRUE(world.receiver.tunes.empty());

  window.Button12Click();
  EXPECT_EQ(window.Label1, "855.00000");
  EXPECT_TRUE(window.KeypadEntry.empty());
  window.ListBox1Click(0);
  EXPECT_EQ(state.ControlFrequencyText, "853.00000");
  window.ListBox1Click(-1);  // a click below the last item selects nothing
  EXPECT_EQ(world.receiver.tunes.size(), 1u);
}

TEST_F(FrequencySelectionTest, HeardLinesAreDistinctAndOnlyListenedTo) {
  int changes = 0;
  window.SetHeardLinesListener([&] { ++changes; });
  window.AddChList(851.0125);
  window.AddChList(851.0125);
  window.AddChList(851.01250000001);  // same text
  window.AddChList(850.00625);
  EXPECT_EQ(window.ListBox2, (std::vector<std::string>{"851.01250MHz", "850.00625MHz"}));
  EXPECT_EQ(changes, 2);

  window.ListBox2Click(1);
  window.Button17Click();
  ASSERT_EQ(world.receiver.tunes.size(), 2u);
  EXPECT_EQ(world.receiver.tunes[0].frequencyText, "850.00625");
  EXPECT_EQ(world.receiver.tunes[1].frequencyText, "855.00000");
  EXPECT_EQ(state.ControlFrequencyText, "855.00000");

  window.Button16Click();
  EXPECT_TRUE(window.ListBox2.empty());
}

TEST_F(FrequencySelectionTest, StoringAppendsTheDisplayAndTheMemoAndRewritesTheFile) {
  WriteBytes(state.FreqListPath, "850.00000MHz 古い\n\n851.00000MHz");
  window.Create();
  Type("850.0125");
  window.Button15Click();
  window.Button13Click();  // empty memo: the space after MHz stays
  Type("85");
  window.Edit1 = "途中";
  window.Button13Click();  // an unfinished entry is stored as typed
  EXPECT_EQ(window.Edit1, "途中");
  const std::vector<std::string> expected = {"850.00000MHz 古い", "", "851.00000MHz",
                                             "850.01250MHz ", "85MHz 途中"};
  EXPECT_EQ(window.ListBox1, expected);
  EXPECT_EQ(ReadBytes(state.FreqListPath),
            "850.00000MHz 古い\r\n\r\n851.00000MHz\r\n850.01250MHz \r\n85MHz 途中\r\n");
  EXPECT_TRUE(world.notice.errors.empty());
}

TEST_F(FrequencySelectionTest, MissingFileIsReportedAndTheFirstStoreCreatesIt) {
  state.ControlFrequencyText = "854.50000";
  window.Create();
  EXPECT_EQ(world.notice.beeps, 1);
  EXPECT_EQ(world.notice.errors, std::vector<std::string>{kMissingListMessage});
  EXPECT_TRUE(window.ListBox1.empty());
  EXPECT_EQ(window.Label1, "854.50000");

  window.Edit1 = "a\r\nb";  // a line break must not split the entry in the file
  window.Button13Click();
  EXPECT_EQ(ReadBytes(state.FreqListPath), "854.50000MHz a  b\r\n");
  EXPECT_EQ(world.notice.errors.size(), 1u);
}

TEST_F(FrequencySelectionTest, ShippedListIsShownUntilTheUserStoresAnEntry) {
  // An installed program: the user's list in the config folder, which is not made yet, and the
  // shipped candidates beside the program, the first of them absent.
  state.FreqListPath = (dir.path() / "config" / "tarvo" / "freqlist.txt").string();
  state.ShippedFreqListPaths = {(dir.path() / "bin" / "freqlist.txt").string(),
                                (dir.path() / "share" / "freqlist.txt").string()};
  std::filesystem::create_directory(dir.path() / "share");
  const std::string shipped = "851.00000MHz 配布\r\n";
  WriteBytes(state.ShippedFreqListPaths[1], shipped);
  window.Create();
  EXPECT_EQ(window.ListBox1, std::vector<std::string>{"851.00000MHz 配布"});
  EXPECT_TRUE(world.notice.errors.empty());

  window.Edit1 = "自分";
  window.Button13Click();
  EXPECT_EQ(ReadBytes(state.FreqListPath), "851.00000MHz 配布\r\n855.00000MHz 自分\r\n");
  EXPECT_EQ(ReadBytes(state.ShippedFreqListPaths[1]), shipped);

  // From now on the user's list is read; the shipped one no longer shows.
  WriteBytes(state.ShippedFreqListPaths[0], "852.00000MHz\r\n");
  window.Create();
  EXPECT_EQ(window.ListBox1.size(), 2u);
  EXPECT_EQ(window.ListBox1[1], "855.00000MHz 自分");
}

TEST_F(FrequencySelectionTest, NoListAnywhereIsReportedMissing) {
  state.ShippedFreqListPaths = {(dir.path() / "none.txt").string()};
  window.Create();
  EXPECT_TRUE(window.ListBox1.empty());
  ASSERT_EQ(world.notice.errors.size(), 1u);
  EXPECT_EQ(world.notice.errors[0], kMissingListMessage);
}

TEST_F(FrequencySelectionTest, FailedWriteKeepsTheOldFileAndTheEntryForThisRun) {
  const std::string old = "850.00000MHz old\r\n";
  WriteBytes(state.FreqListPath, old);
  window.Create();
  // A folder on the temporary file's name makes the write fail, even for root.
  std::filesystem::create_directory(state.FreqListPath + ".tmp");
  window.Button13Click();
  EXPECT_EQ(ReadBytes(state.FreqListPath), old);
  EXPECT_EQ(window.ListBox1.size(), 2u);
  ASSERT_EQ(world.notice.errors.size(), 1u);
  EXPECT_NE(world.notice.errors[0].find(state.FreqListPath), std::string::npos);

  // A parent that is a plain file cannot hold the list at all.
  WriteBytes(dir.path() / "plain", "");
  state.FreqListPath = (dir.path() / "plain" / "freqlist.txt").string();
  window.Button13Click();
  EXPECT_EQ(window.ListBox1.size(), 3u);
  ASSERT_EQ(world.notice.errors.size(), 2u);
  EXPECT_NE(world.notice.errors[1].find(state.FreqListPath), std::string::npos);
  EXPECT_EQ(world.notice.beeps, 2);
}

}  // namespace
}  // namespace tarvo
