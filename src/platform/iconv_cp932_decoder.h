// CP932 to UTF-8 through the C library's iconv, for frequency lists from the original platform.
#pragma once

#include "core/dialogs/cp932_decoder.h"

namespace tarvo {

class IconvCp932Decoder : public Cp932Decoder {
 public:
  std::optional<std::string> ToUtf8(const std::string& cp932) override;
};

}  // namespace tarvo
