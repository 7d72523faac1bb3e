// Asks the system what the file-location rule needs: the running program's path, whether its
// folder is the user's to write, and the XDG variables and home folder.
#pragma once

#include <filesystem>

#include "core/app/file_locations.h"

namespace tarvo {

// The running program's path (/proc/self/exe); empty when the system does not say.
std::filesystem::path RunningProgramPath();

FileLocationFacts ProbeFileLocationFacts(const std::filesystem::path& programPath);

// Where the running program keeps its files: LocateFiles over what the system says now.
FileLocations LocateRunningProgramFiles();

}  // namespace tarvo
