#include "core/dialogs/freq_list_file.h"

#include <gtest/gtest.h>

#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

using Lines = std::vector<std::string>;

TEST(FreqListFile, LinesEndWithCrLfCrOrLfAndEmptyLinesStay) {
  struct Case {
    const char* text;
    Lines lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
      {"a\r\n\r\nb\n", {"a", "", "b"}},
      {"\r\n", {""}},
      {"a\n\rb", {"a", "", "b"}},  // LF then CR are two line ends
      {"\r\r\n\n", {"", "", ""}},
      {"850.00000MHz メモ\r", {"850.00000MHz メモ"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitListLines(c.text), c.lines) << c.text;
}

TEST(FreqListFile, Utf8IsCheckedStrictly) {
  EXPECT_TRUE(IsValidUtf8("850.00000MHz 東京 ～ 😀"));
  for (const char* bad :
       {"\x93\x8C\x8B\x9E", "\xC0\xAF", "\xED\xA0\x80", "\xE6\x9D", "\xF5\x80\x80\x80"}) {
    EXPECT_FALSE(IsValidUtf8(bad)) << bad;
  }
}

TEST(FreqListFile, FrequencyIsTheFirstNineCharacters) {
  EXPECT_EQ(LeadingCharacters("850.01250MHz ABC", 9), "850.01250");
  EXPECT_EQ(LeadingCharacters("850.1", 9), "850.1");
  EXPECT_EQ(LeadingCharacters("東京850.0125", 9), "東京850.012");  // never half a character
}

TEST(FreqListFile, ReadsUtf8WithoutTheByteOrderMarkAndReplacesStrayBytes) {
  testing::TempDir dir;
  const std::string path = (dir.path() / "freqlist.txt").string();
  EXPECT_EQ(ReadFreqList(path, nullptr).status, FreqListRead::Status::kMissing);
  testing::WriteBytes(path,
                      "\xEF\xBB\xBF"
                      "850.00000MHz 東京\r\n851.00000MHz");
  FreqListRead read = ReadFreqList(path, nullptr);
  EXPECT_EQ(read.status, FreqListRead::Status::kRead);
  EXPECT_EQ(read.entries, (Lines{"850.00000MHz 東京", "851.00000MHz"}));
  testing::WriteBytes(path, "850.00000MHz \x93\x8C");  // CP932, and no decoder at hand
  read = ReadFreqList(path, nullptr);
  EXPECT_EQ(read.entries, Lines{"850.00000MHz \xEF\xBF\xBD\xEF\xBF\xBD"});
  EXPECT_EQ(ReadFreqList(dir.path().string(), nullptr).status, FreqListRead::Status::kUnreadable);
}

}  // namespace
}  // namespace tarvo
