// Whether the caller-ID filters let the tracker follow a call with this ID text.
#pragma once

#include <string>

#include "core/base/main_state.h"

namespace tarvo {

// ID-specific reception admits only the IDs in Edit2..Edit4; otherwise the pass list, when on,
// keeps out the IDs it holds. Texts compare exactly.
bool IdAdmitted(const MainState& state, const std::string& idText);

// True when the pass list applies (on, and ID-specific reception off) and holds idText.
bool IdInPassList(const MainState& state, const std::string& idText);

}  // namespace tarvo
