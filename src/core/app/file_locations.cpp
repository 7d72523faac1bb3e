#include "core/app/file_locations.h"

#include <algorithm>
#include <array>
#include <optional>

namespace tarvo {
namespace {

namespace fs = std::filesystem;

constexpr std::array<const char*, 8> kSystemFolders = {
    "/usr", "/bin", "/sbin", "/lib", "/opt", "/snap", "/nix", "/app",
};

// The XDG base folder: the variable when it is an absolute path, else `fallback` under home.
std::optional<fs::path> BaseFolder(const std::string& variable, const std::string& home,
                                   const char* fallback) {
  if (!variable.empty() && fs::path(variable).is_absolute()) return fs::path(variable);
  if (!home.empty() && fs::path(home).is_absolute()) return fs::path(home) / fallback;
  return std::nullopt;
}

}  // namespace

FileLocations FilesBesideProgram(const fs::path& programPath) {
  const fs::path folder = programPath.parent_path();
  FileLocations files;
  files.portable = true;
  files.settings = folder / kSettingsFileName;
  files.freqList = folder / kFreqListFileName;
  files.callLog = folder / kCallLogFileName;
  return files;
}

bool IsSystemFolder(const fs::path& folder) {
  const fs::path normal = folder.lexically_normal();
  if (normal == normal.root_path()) return true;
  for (const char* system : kSystemFolders) {
    const fs::path top(system);
    // A path under `top`: its first components are those of `top`.
    if (std::mismatch(top.begin(), top.end(), normal.begin(), normal.end()).first == top.end()) {
      return true;
    }
  }
  return false;
}

FileLocations LocateFiles(const FileLocationFacts& facts) {
  const fs::path folder = facts.programPath.parent_path();
  // ~/.local/bin is where the user installs programs, not a portable copy.
  const bool usersInstall =
      !facts.home.empty() && folder.lexically_normal() == fs::path(facts.home) / ".local/bin";
  const bool usersOwn = facts.programFolderWritable && !IsSystemFolder(folder) && !usersInstall;
  const auto config = BaseFolder(facts.xdgConfigHome, facts.home, ".config");
  const auto state = BaseFolder(facts.xdgStateHome, facts.home, ".local/state");
  if (facts.settingsBesideProgram || usersOwn || !config || !state) {
    return FilesBesideProgram(facts.programPath);
  }
  FileLocations files;
  files.settings = *config / "tarvo" / kSettingsFileName;
  files.freqList = *config / "tarvo" / kFreqListFileName;
  files.shippedFreqLists = {folder / kFreqListFileName,
                            folder.parent_path() / "share" / "tarvo" / kFreqListFileName};
  files.callLog = *state / "tarvo" / kCallLogFileName;
  return files;
}

}  // namespace tarvo
