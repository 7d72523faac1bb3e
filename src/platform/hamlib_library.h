// hamlib, loaded when a rig is first opened rather than linked: the library and the ones it
// pulls in (USB, INDI, astronomy) take about 4 MB of memory that only the Hamlib model needs.
#pragma once

#include <hamlib/rig.h>

#include <string>

namespace tarvo {

class HamlibLibrary {
 public:
  // Loads the library; Failure() says why when it could not.
  HamlibLibrary();
  ~HamlibLibrary();
  HamlibLibrary(const HamlibLibrary&) = delete;
  HamlibLibrary& operator=(const HamlibLibrary&) = delete;

  // Empty when every call below is there, else the library's name and why not.
  const std::string& Failure() const { return failure_; }

  decltype(&::rig_set_debug) setDebug = nullptr;
  decltype(&::rig_init) init = nullptr;
  decltype(&::rig_token_lookup) tokenLookup = nullptr;
  decltype(&::rig_set_conf) setConf = nullptr;
  decltype(&::rig_open) open = nullptr;
  decltype(&::rig_close) close = nullptr;
  decltype(&::rig_cleanup) cleanup = nullptr;
  decltype(&::rig_set_mode) setMode = nullptr;
  decltype(&::rig_set_freq) setFreq = nullptr;
  decltype(&::rig_has_set_level) hasSetLevel = nullptr;
  decltype(&::rig_set_level) setLevel = nullptr;
  decltype(&::rigerror2) error = nullptr;

 private:
  template <typename Function>
  void Find(Function& function, const char* name);

  void* handle_ = nullptr;
  std::string failure_;
};

}  // namespace tarvo
