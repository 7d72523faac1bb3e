// The settings file: which keys it holds, how their texts become controls and
// state at start-up, and how the state is written back when the window closes.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/app/ini_file.h"
#include "core/base/main_state.h"

namespace tarvo {

class Notice;

// Reads the 22 keys, then the later ones (the rig keys Rig, RigPort and RigRate, the
// demodulator choice Demod), into the state; missing or malformed values give the defaults, and
// the keystroke interval is held to 0..1000 ms. A "Freq" text that is not a number is reported
// (naming the file and the text) and replaced by "850.00000", so a damaged file cannot keep the
// program from starting.
void LoadSettings(MainState& state, const std::filesystem::path& iniPath, Notice& notice);

// What LoadSettings does with the file's text; fileName is what messages call the file.
void ApplySettings(MainState& state, IniText text, const std::string& fileName, Notice& notice);

// The keys as SaveSettings writes them, in their order: the 22, then the later ones.
std::vector<IniEntry> SettingsEntries(const MainState& state);

// Writes every key in one replacement of the file. A write the system refuses, or a file made
// read-only, gives an error naming the file and leaves the file as it was; returns false then,
// and the window's close is abandoned.
bool SaveSettings(const MainState& state, const std::filesystem::path& iniPath, Notice& notice);

}  // namespace tarvo
