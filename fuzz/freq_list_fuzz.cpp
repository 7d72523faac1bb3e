// The frequency list reader on any bytes: entries are valid UTF-8 without line ends, their
// frequency texts can be taken and converted, and a list written back reads as the same entries.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/base/control_frequency.h"
#include "core/dialogs/freq_list_file.h"
#include "fuzz_check.h"

namespace {

// Takes any byte pair whose lead is 0x81..0x9F as one character, so the CP932 path is taken.
class ToyCp932 : public tarvo::Cp932Decoder {
 public:
  std::optional<std::string> ToUtf8(const std::string& cp932) override {
    std::string out;
    for (std::size_t i = 0; i < cp932.size(); ++i) {
      const auto byte = static_cast<unsigned char>(cp932[i]);
      if (byte < 0x80) {
        out += cp932[i];
      } else if (byte >= 0x81 && byte <= 0x9F && i + 1 < cp932.size()) {
        out += "\xE3\x80\x80";
        ++i;
      } else {
        return std::nullopt;
      }
    }
    return out;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  ToyCp932 toy;
  for (tarvo::Cp932Decoder* decoder :
       {static_cast<tarvo::Cp932Decoder*>(nullptr), static_cast<tarvo::Cp932Decoder*>(&toy)}) {
    const auto entries = tarvo::ParseFreqList(bytes, decoder);
    std::string written;
    for (const std::string& entry : entries) {
      FUZZ_CHECK(tarvo::IsValidUtf8(entry));
      FUZZ_CHECK(entry.find_first_of("\r\n") == std::string::npos);
      FUZZ_CHECK(!entry.starts_with("\xEF\xBB\xBF") || &entry != &entries.front());
      const std::string text = tarvo::LeadingCharacters(entry, 9);
      FUZZ_CHECK(entry.starts_with(text));
      (void)tarvo::MegahertzValue(text);
      written += entry + "\r\n";
    }
    FUZZ_CHECK(tarvo::ParseFreqList(written, decoder) == entries);
  }
  return 0;
}
