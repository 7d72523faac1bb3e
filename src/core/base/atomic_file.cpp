#include "core/base/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace tarvo {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxLinkHops = 40;  // the kernel's own limit

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// So the rename itself survives a power cut.
void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

fs::path FollowLinks(const fs::path& path) {
  fs::path target = path;
  std::error_code error;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    if (!fs::is_symlink(fs::symlink_status(target, error))) return target;
    const fs::path link = fs::read_symlink(target, error);
    if (error) return path;
    target = link.is_absolute() ? link : target.parent_path() / link;
  }
  return path;
}

bool ReplaceFileContents(const fs::path& path, std::string_view bytes) {
  const fs::path target = FollowLinks(path);
  std::error_code error;
  const fs::file_status old = fs::status(target, error);
  const bool exists = fs::exists(old);
  if (exists) {
    // Root may write anything, so the mode bits decide, not only the access check.
    constexpr auto kAnyWrite =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if (!fs::is_regular_file(old) || (old.permissions() & kAnyWrite) == fs::perms::none ||
        ::access(target.c_str(), W_OK) != 0) {
      return false;
    }
  }
  fs::path temporary = target;
  temporary += ".tmp";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool written = WriteAll(fd, bytes);
  if (written && exists) {
    written = ::fchmod(fd, static_cast<mode_t>(old.permissions() & fs::perms::mask)) == 0;
    // Saved by root, a user's file stays the user's; refused for anyone else, which is fine.
    struct stat owner {};
    if (::stat(target.c_str(), &owner) == 0) {
      [[maybe_unused]] const int ignored = ::fchown(fd, owner.st_uid, owner.st_gid);
    }
  }
  written = written && ::fsync(fd) == 0;
  written = ::close(fd) == 0 && written;
  if (written) written = ::rename(temporary.c_str(), target.c_str()) == 0;
  if (!written) {
    ::unlink(temporary.c_str());
    return false;
  }
  SyncFolder(target.parent_path());
  return true;
}

}  // namespace tarvo
