// How the core tells the operator of a failure: the exclamation beep and a modal error box
// with one OK button.
#pragma once

#include <string>

namespace tarvo {

class Notice {
 public:
  virtual ~Notice() = default;
  virtual void Beep() = 0;
  // Blocks until the operator has pressed OK.
  virtual void ShowError(const std::string& text) = 0;
};

}  // namespace tarvo
