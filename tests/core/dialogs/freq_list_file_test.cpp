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

// Stands in for iconv: takes the two bytes of "東" and nothing else that is not ASCII.
class TinyCp932 : public Cp932Decoder {
 public:
  std::optional<std::string> ToUtf8(const std::string& cp932) override {
    std::string out;
    for (std::size_t i = 0; i < cp932.size(); ++i) {
      if (cp932.compare(i, 2, "\x93\x8C") == 0) {
        out += "東";
        ++i;
      } else if (static_cast<unsigned char>(cp932[i]) < 0x80) {
        out += cp932[i];
      } else {
        return std::nullopt;
      }
    }
    return out;
  }
};

TEST(FreqListFile, ByteOrderMarkIsNoPartOfTheFirstEntryWhateverTheEncoding) {
  testing::TempDir dir;
  const std::string path = (dir.path() / "freqlist.txt").string();
  testing::WriteBytes(path,
                      "\xEF\xBB\xBF"
                      "850.01250MHz \x93\x8C\r\n851.00000MHz");
  TinyCp932 decoder;
  EXPECT_EQ(ReadFreqList(path, &decoder).entries, (Lines{"850.01250MHz 東", "851.00000MHz"}));
  EXPECT_EQ(ReadFreqList(path, nullptr).entries,
            (Lines{"850.01250MHz \xEF\xBF\xBD\xEF\xBF\xBD", "851.00000MHz"}));
  // A mark doubled by an editor would otherwise come back at the start of every rewritten list.
  EXPECT_EQ(ParseFreqList("\xEF\xBB\xBF\xEF\xBB\xBF"
                          "850.1\r\n",
                          nullptr),
            Lines{"850.1"});
}

TEST(FreqListFile, WritesThroughALinkKeepingTheMode) {
  testing::TempDir dir;
  const auto real = dir.path() / "real.txt";
  testing::WriteBytes(real, "old\r\n");
  std::filesystem::permissions(
      real, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  std::filesystem::create_symlink("real.txt", dir.path() / "freqlist.txt");
  ASSERT_TRUE(WriteFreqList((dir.path() / "freqlist.txt").string(), {"a", "b"}));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "freqlist.txt"));
  EXPECT_EQ(testing::ReadBytes(real), "a\r\nb\r\n");
  EXPECT_EQ(std::filesystem::status(real).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

}  // namespace
}  // namespace tarvo
