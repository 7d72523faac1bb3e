#include "core/base/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::WriteBytes;

class AtomicFileTest : public ::testing::Test {
 protected:
  testing::TempDir dir;
  fs::path file = dir.path() / "list.txt";
};

TEST_F(AtomicFileTest, ReplacesTheContentsKeepingTheModeAndLeavesNoTemporaryFile) {
  WriteBytes(file, "old contents that are longer");
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
  ASSERT_TRUE(ReplaceFileContents(file, "new"));
  EXPECT_EQ(ReadBytes(file), "new");
  EXPECT_EQ(fs::status(file).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
  EXPECT_FALSE(fs::exists(file.string() + ".tmp"));
  ASSERT_TRUE(ReplaceFileContents(dir.path() / "fresh", ""));
  EXPECT_TRUE(fs::is_regular_file(dir.path() / "fresh"));

  if (geteuid() == 0) {  // a user's file saved by root stays the user's
    ASSERT_EQ(chown(file.c_str(), 4321, 4322), 0);
    ASSERT_TRUE(ReplaceFileContents(file, "root's"));
    struct stat owner {};
    ASSERT_EQ(stat(file.c_str(), &owner), 0);
    EXPECT_EQ(owner.st_uid, 4321u);
    EXPECT_EQ(owner.st_gid, 4322u);
  }
}

TEST_F(AtomicFileTest, WritesThroughLinksToTheirTarget) {
  fs::create_directory(dir.path() / "real");
  WriteBytes(dir.path() / "real" / "list.txt", "old");
  fs::create_symlink("real/list.txt", dir.path() / "hop");  // relative to the link's folder
  fs::create_symlink(dir.path() / "hop", file);
  ASSERT_TRUE(ReplaceFileContents(file, "new"));
  EXPECT_TRUE(fs::is_symlink(file));
  EXPECT_TRUE(fs::is_symlink(dir.path() / "hop"));
  EXPECT_EQ(ReadBytes(dir.path() / "real" / "list.txt"), "new");

  fs::create_symlink("missing.txt", dir.path() / "dangling");  // creates what it points at
  ASSERT_TRUE(ReplaceFileContents(dir.path() / "dangling", "x"));
  EXPECT_EQ(ReadBytes(dir.path() / "missing.txt"), "x");
}

TEST_F(AtomicFileTest, RefusedWritesLeaveTheOldFileAsItWas) {
  WriteBytes(file, "old");
  fs::permissions(file, fs::perms::owner_read);  // refused even for root
  EXPECT_FALSE(ReplaceFileContents(file, "new"));
  EXPECT_EQ(ReadBytes(file), "old");
  EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read);

  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_directory(file.string() + ".tmp");  // the temporary file cannot be made
  EXPECT_FALSE(ReplaceFileContents(file, "new"));
  EXPECT_EQ(ReadBytes(file), "old");

  EXPECT_FALSE(ReplaceFileContents(dir.path(), "new"));  // not a regular file
  EXPECT_FALSE(ReplaceFileContents(file / "below", "new"));
}

}  // namespace
}  // namespace tarvo
