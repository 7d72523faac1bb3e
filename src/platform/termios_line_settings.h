// A receiver's line settings as a termios record: raw 8-bit bytes, no parity, the profile's
// rate and stop bits, no flow control of either kind.
#pragma once

#include <termios.h>

#include <optional>

#include "core/radio/receiver_model.h"

namespace tarvo {

// The termios speed of a baud rate; nullopt for a rate termios has no constant for.
std::optional<speed_t> TermiosSpeed(int baud);

// Rewrites the fields of settings that the receivers care about and keeps the driver's values in
// the rest. False (settings unchanged) for a rate termios cannot express.
bool ApplyLineSettings(termios& settings, LineSettings line);

}  // namespace tarvo
