#include "core/base/control_frequency.h"

#include "core/base/channel_grid.h"
#include "core/base/decimal_number.h"
#include "core/base/main_state.h"
#include "core/base/notice.h"

namespace tarvo {

std::optional<double> MegahertzValue(const std::string& megahertzText) {
  if (!ExactNanoMegahertz(megahertzText)) return std::nullopt;
  return ParseDecimalNumber(megahertzText);
}

bool DeriveChannelGrid(MainState& state, const std::string& megahertzText) {
  const auto exact = ExactNanoMegahertz(megahertzText);
  if (!exact) return false;
  if (state.McAccessSelected()) {
    state.McAccessChannelStep = McAccessChannelStepFor(*exact);
  } else {
    state.RasterOffset = RasterOffsetFor(*exact);
  }
  return true;
}

std::string ConversionErrorText(const std::string& text) {
  return "'" + text + "' is not a valid floating point value";
}

void ShowConversionError(Notice& notice, const std::string& text) {
  notice.ShowError(ConversionErrorText(text));
}

}  // namespace tarvo
