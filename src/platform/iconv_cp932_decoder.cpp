#include "platform/iconv_cp932_decoder.h"

#include <iconv.h>

#include <cerrno>

namespace tarvo {

std::optional<std::string> IconvCp932Decoder::ToUtf8(const std::string& cp932) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out(cp932.size() * 3 + 16, '\0');  // a CP932 byte never grows past 3 UTF-8 bytes
  char* in = const_cast<char*>(cp932.data());
  std::size_t inLeft = cp932.size();
  char* next = out.data();
  std::size_t outLeft = out.size();
  const std::size_t result = iconv(cd, &in, &inLeft, &next, &outLeft);
  iconv_close(cd);
  if (result == static_cast<std::size_t>(-1) || inLeft != 0) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace tarvo
