// Turns text in the Japanese Windows code page (CP932), as lists brought from the original
// platform are written, into UTF-8. The platform layer implements it.
#pragma once

#include <optional>
#include <string>

namespace tarvo {

class Cp932Decoder {
 public:
  virtual ~Cp932Decoder() = default;
  // nullopt when the bytes are not valid CP932 either.
  virtual std::optional<std::string> ToUtf8(const std::string& cp932) = 0;
};

}  // namespace tarvo
