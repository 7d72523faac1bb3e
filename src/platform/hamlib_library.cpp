#include "platform/hamlib_library.h"

#include <dlfcn.h>

namespace tarvo {

// Never unloaded: a rig's threads and exit handlers may outlive the last rig.
HamlibLibrary::HamlibLibrary() {
  handle_ = dlopen(TARVO_HAMLIB_SONAME, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (handle_ == nullptr) {
    const char* why = dlerror();
    failure_ = std::string("cannot load hamlib: ") + (why != nullptr ? why : TARVO_HAMLIB_SONAME);
    return;
  }
  Find(setDebug, "rig_set_debug");
  Find(init, "rig_init");
  Find(tokenLookup, "rig_token_lookup");
  Find(setConf, "rig_set_conf");
  Find(open, "rig_open");
  Find(close, "rig_close");
  Find(cleanup, "rig_cleanup");
  Find(setMode, "rig_set_mode");
  Find(setFreq, "rig_set_freq");
  Find(hasSetLevel, "rig_has_set_level");
  Find(setLevel, "rig_set_level");
  Find(error, "rigerror2");
}

HamlibLibrary::~HamlibLibrary() {
  if (handle_ != nullptr) dlclose(handle_);
}

template <typename Function>
void HamlibLibrary::Find(Function& function, const char* name) {
  function = reinterpret_cast<Function>(dlsym(handle_, name));
  if (function == nullptr && failure_.empty()) {
    failure_ = std::string("cannot load hamlib: ") + TARVO_HAMLIB_SONAME + " has no " + name;
  }
}

}  // namespace tarvo
