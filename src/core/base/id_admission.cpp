#include "core/base/id_admission.h"

#include <algorithm>

namespace tarvo {

bool IdInPassList(const MainState& state, const std::string& idText) {
  if (!state.IdPassOn() || state.IdSpecificReception()) return false;
  return std::find(state.IdPassList.begin(), state.IdPassList.end(), idText) !=
         state.IdPassList.end();
}

bool IdAdmitted(const MainState& state, const std::string& idText) {
  if (state.IdSpecificReception()) {
    return idText == state.Edit2.text || idText == state.Edit3.text || idText == state.Edit4.text;
  }
  return !IdInPassList(state, idText);
}

}  // namespace tarvo
