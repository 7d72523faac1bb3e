#include "platform/iconv_cp932_decoder.h"

#include <gtest/gtest.h>

#include "core/dialogs/freq_list_file.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

// One list, saved by the original platform in CP932 and by this program in UTF-8: the Japanese
// memo must read the same either way ("～" is U+FF5E in CP932, not the wave dash of Shift_JIS).
TEST(IconvCp932Decoder, JapaneseMemoReadsTheSameFromCp932AndUtf8) {
  const std::vector<std::string> expected = {"850.01250MHz 東京消防①～", "", "851.00000MHz ｶﾅ"};
  const std::string cp932 =
      "850.01250MHz \x93\x8c\x8b\x9e\x8f\xc1\x96\x68\x87\x40\x81\x60\r\n\n"
      "851.00000MHz \xb6\xc5\r";
  const std::string utf8 = "850.01250MHz 東京消防①～\r\n\n851.00000MHz ｶﾅ\r";
  testing::TempDir dir;
  const std::string path = (dir.path() / "freqlist.txt").string();
  IconvCp932Decoder decoder;
  for (const std::string& bytes : {cp932, utf8}) {
    testing::WriteBytes(path, bytes);
    const FreqListRead read = ReadFreqList(path, &decoder);
    EXPECT_EQ(read.status, FreqListRead::Status::kRead);
    EXPECT_EQ(read.entries, expected);
  }
}

TEST(IconvCp932Decoder, BytesThatAreNoCp932AreRefused) {
  IconvCp932Decoder decoder;
  EXPECT_FALSE(decoder.ToUtf8("850 \x81").has_value());  // a lead byte without its trail
  EXPECT_EQ(decoder.ToUtf8("850"), "850");
}

}  // namespace
}  // namespace tarvo
