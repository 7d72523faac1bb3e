// The heard-lines list as the message interpreters see it.
#pragma once

namespace tarvo {

class HeardLinesSink {
 public:
  virtual ~HeardLinesSink() = default;
  // Appends the frequency as "%0.5fMHz" unless that text is already listed.
  virtual void AddChList(double frequencyMHz) = 0;
};

}  // namespace tarvo
