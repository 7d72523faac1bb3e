#include "platform/file_location_probe.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <system_error>

namespace tarvo {
namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// The account's home folder when HOME is not set (a service, a bare `env -i`).
std::string AccountHome() {
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::string buffer(size > 0 ? static_cast<std::size_t>(size) : 16384, '\0');
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found) return {};
  return found->pw_dir != nullptr ? found->pw_dir : "";
}

// Writable for this user, and by someone at all: root may write anywhere, but a folder whose
// mode lets nobody write (a read-only install) is not a place to keep settings.
bool FolderWritable(const std::filesystem::path& folder) {
  struct stat info {};
  if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
  return access(folder.c_str(), W_OK) == 0;
}

}  // namespace

std::filesystem::path RunningProgramPath() {
  std::error_code error;
  return std::filesystem::read_symlink("/proc/self/exe", error);
}

FileLocationFacts ProbeFileLocationFacts(const std::filesystem::path& programPath) {
  FileLocationFacts facts;
  facts.programPath = programPath;
  const std::filesystem::path folder = programPath.parent_path();
  std::error_code error;
  facts.settingsBesideProgram = std::filesystem::exists(folder / kSettingsFileName, error);
  facts.programFolderWritable = FolderWritable(folder);
  facts.xdgConfigHome = Variable("XDG_CONFIG_HOME");
  facts.xdgStateHome = Variable("XDG_STATE_HOME");
  facts.home = Variable("HOME");
  if (facts.home.empty()) facts.home = AccountHome();
  return facts;
}

FileLocations LocateRunningProgramFiles() {
  return LocateFiles(ProbeFileLocationFacts(RunningProgramPath()));
}

}  // namespace tarvo
