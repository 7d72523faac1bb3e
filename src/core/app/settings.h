// The settings file: which keys it holds, how their texts become controls and
// state at start-up, and how the state is written back when the window closes.
#pragma once

#include <filesystem>

#include "core/base/main_state.h"

namespace tarvo {

class Notice;

// Reads the 22 keys, then the later ones (the rig keys Rig, RigPort and RigRate, the
// demodulator choice Demod), into the state; missing or malformed values give the defaults. A
// "Freq" text that is not a number is reported (naming the file and the text) and replaced by
// "850.00000", so a damaged file cannot keep the program from starting.
void LoadSettings(MainState& state, const std::filesystem::path& iniPath, Notice& notice);

// Writes the 22 keys, then the rig keys. A write the system refuses stops there with an error
// naming the file; returns false then, and the window's close is abandoned.
bool SaveSettings(const MainState& state, const std::filesystem::path& iniPath, Notice& notice);

}  // namespace tarvo
