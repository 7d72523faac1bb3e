// The control-channel frequency text as the program uses it: its numeric value, the channel grid
// it implies for the selected decoder, and the message shown when it is not a number.
#pragma once

#include <optional>
#include <string>

namespace tarvo {

struct MainState;
class Notice;

// The text's value in MHz; nullopt when it is not a number.
std::optional<double> MegahertzValue(const std::string& megahertzText);

// Sets McAccessChannelStep (McAccess selected) or RasterOffset (JSMR selected) from the text.
// Returns false, changing nothing, when the text is not a number.
bool DeriveChannelGrid(MainState& state, const std::string& megahertzText);

// "'abc' is not a valid floating point value"
std::string ConversionErrorText(const std::string& text);

// Shows the conversion error for text as an error box.
void ShowConversionError(Notice& notice, const std::string& text);

}  // namespace tarvo
