// The command sets of the eight receiver models, byte for byte, as pure builders: each returns
// what the serial link is to send, in order, and an empty list when the model sends nothing.
#pragma once

#include <string>

#include "core/base/main_state.h"
#include "core/radio/serial_command.h"

namespace tarvo {

// Tunes model to frequencyText (megahertz, normally five decimals). Reads the CI-V address from
// Edit5 and the key interval from CommandInterval. Knows nothing of RadioBusy.
CommandList BuildTune(const MainState& state, int model, const std::string& frequencyText);

// Sets the receiver's audio level (0..255, 0 mutes).
CommandList BuildSetLevel(const MainState& state, int model, int level);

// What goes out right after the port is opened; the PCR set-up tunes to ControlFrequencyText.
CommandList BuildPrepare(const MainState& state, int model);

// What goes out before the port is closed.
CommandList BuildRelease(int model);

}  // namespace tarvo
