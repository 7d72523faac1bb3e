// Leak checking off for the programs a test starts while it lives: ALSA unloads its plugins
// before the check runs, so what they keep cannot be told from a leak of ours. The core's own
// memory is checked in-process by the other tests.
#pragma once

#include <cstdlib>
#include <string>

namespace tarvo::testing {

class LeakCheckOffForChildren {
 public:
  LeakCheckOffForChildren() {
    const char* asan = std::getenv("ASAN_OPTIONS");
    previous_ = asan != nullptr ? asan : "";
    const std::string off = previous_ + (previous_.empty() ? "" : ":") + "detect_leaks=0";
    setenv("ASAN_OPTIONS", off.c_str(), 1);
  }
  ~LeakCheckOffForChildren() { setenv("ASAN_OPTIONS", previous_.c_str(), 1); }
  LeakCheckOffForChildren(const LeakCheckOffForChildren&) = delete;
  LeakCheckOffForChildren& operator=(const LeakCheckOffForChildren&) = delete;

 private:
  std::string previous_;
};

}  // namespace tarvo::testing
