// Where the program keeps its files: beside the program (build tree, portable copy) or, for an
// installed program, in the user's XDG configuration and state folders.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tarvo {

inline constexpr const char* kSettingsFileName = "tarvo.ini";
inline constexpr const char* kFreqListFileName = "freqlist.txt";
inline constexpr const char* kCallLogFileName = "tarvo-calls.jsonl";

// What the rule looks at. The program fills it from the system (ProbeFileLocationFacts in
// platform/); tests write it down.
struct FileLocationFacts {
  std::filesystem::path programPath;   // the running program, absolute
  bool settingsBesideProgram = false;  // a tarvo.ini is in the program's folder
  bool programFolderWritable = false;  // the user may create files in the program's folder
  // The environment; empty when unset.
  std::string xdgConfigHome;
  std::string xdgStateHome;
  std::string home;
};

struct FileLocations {
  bool portable = false;  // everything beside the program
  std::filesystem::path settings;
  std::filesystem::path freqList;  // the user's list: read, and written by "メモリ追加"
  // Lists an administrator or a distribution put beside the installed program, read in this
  // order while the user's list does not exist yet. Empty in the portable layout.
  std::vector<std::filesystem::path> shippedFreqLists;
  std::filesystem::path callLog;
};

// The portable layout: settings, frequency list and call log in the program's folder.
FileLocations FilesBesideProgram(const std::filesystem::path& programPath);

// Folders that belong to the system even when the user may write them (root, a package manager).
bool IsSystemFolder(const std::filesystem::path& folder);

// The rule: beside the program when a tarvo.ini is already there, or when its folder is the
// user's own (writable, not a system folder, not ~/.local/bin); otherwise $XDG_CONFIG_HOME/tarvo/
// (default
// ~/.config) for the settings and the list and $XDG_STATE_HOME/tarvo/ (default ~/.local/state)
// for the call log. Relative XDG values are ignored, as the XDG rules say. Without any home
// the files stay beside the program.
FileLocations LocateFiles(const FileLocationFacts& facts);

}  // namespace tarvo
