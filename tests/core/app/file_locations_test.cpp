#include "core/app/file_locations.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(FileLocations, BesideTheProgramOrInTheUsersFolders) {
  struct Case {
    const char* what;
    const char* program;
    bool iniBeside;
    bool writable;
    const char* xdgConfig;
    const char* xdgState;
    const char* home;
    // Expected; a null shipped list means the portable layout (no shipped lists).
    const char* settings;
    const char* freqList;
    const char* callLog;
    const char* shipped;
  };
  const Case cases[] = {
      {"build tree", "/home/ann/tarvo/build/release/tarvo", false, true, "", "", "/home/ann",
       "/home/ann/tarvo/build/release/tarvo.ini", "/home/ann/tarvo/build/release/freqlist.txt",
       "/home/ann/tarvo/build/release/tarvo-calls.jsonl", nullptr},
      {"portable copy kept by its ini in a folder the user cannot write", "/media/stick/tarvo",
       true, false, "/x/config", "/x/state", "/home/ann", "/media/stick/tarvo.ini",
       "/media/stick/freqlist.txt", "/media/stick/tarvo-calls.jsonl", nullptr},
      {"ini beside a system program", "/opt/tarvo/bin/tarvo", true, false, "", "", "/home/ann",
       "/opt/tarvo/bin/tarvo.ini", "/opt/tarvo/bin/freqlist.txt",
       "/opt/tarvo/bin/tarvo-calls.jsonl", nullptr},
      {"installed, XDG unset", "/usr/bin/tarvo", false, false, "", "", "/home/ann",
       "/home/ann/.config/tarvo/tarvo.ini", "/home/ann/.config/tarvo/freqlist.txt",
       "/home/ann/.local/state/tarvo/tarvo-calls.jsonl", "/usr/share/tarvo/freqlist.txt"},
      {"installed, XDG set", "/usr/local/bin/tarvo", false, false, "/x/config", "/x/state",
       "/home/ann", "/x/config/tarvo/tarvo.ini", "/x/config/tarvo/freqlist.txt",
       "/x/state/tarvo/tarvo-calls.jsonl", "/usr/local/share/tarvo/freqlist.txt"},
      {"root may write /usr/bin, still a system folder", "/usr/bin/tarvo", false, true, "", "",
       "/root", "/root/.config/tarvo/tarvo.ini", "/root/.config/tarvo/freqlist.txt",
       "/root/.local/state/tarvo/tarvo-calls.jsonl", "/usr/share/tarvo/freqlist.txt"},
      {"read-only folder outside the system", "/srv/ro/bin/tarvo", false, false, "/c", "", "/h",
       "/c/tarvo/tarvo.ini", "/c/tarvo/freqlist.txt", "/h/.local/state/tarvo/tarvo-calls.jsonl",
       "/srv/ro/share/tarvo/freqlist.txt"},
      {"installed by the user in ~/.local", "/home/ann/.local/bin/tarvo", false, true, "", "",
       "/home/ann", "/home/ann/.config/tarvo/tarvo.ini", "/home/ann/.config/tarvo/freqlist.txt",
       "/home/ann/.local/state/tarvo/tarvo-calls.jsonl",
       "/home/ann/.local/share/tarvo/freqlist.txt"},
      {"relative XDG values are ignored", "/usr/bin/tarvo", false, false, "conf", "state",
       "/home/ann", "/home/ann/.config/tarvo/tarvo.ini", "/home/ann/.config/tarvo/freqlist.txt",
       "/home/ann/.local/state/tarvo/tarvo-calls.jsonl", "/usr/share/tarvo/freqlist.txt"},
      {"no home at all keeps the files beside the program", "/usr/bin/tarvo", false, false, "", "",
       "", "/usr/bin/tarvo.ini", "/usr/bin/freqlist.txt", "/usr/bin/tarvo-calls.jsonl", nullptr},
      {"a name like a system folder is not one", "/usrlocal/tarvo", false, true, "", "", "/h",
       "/usrlocal/tarvo.ini", "/usrlocal/freqlist.txt", "/usrlocal/tarvo-calls.jsonl", nullptr},
      {"the root folder belongs to the system", "/tarvo", false, true, "", "", "/h",
       "/h/.config/tarvo/tarvo.ini", "/h/.config/tarvo/freqlist.txt",
       "/h/.local/state/tarvo/tarvo-calls.jsonl", "/share/tarvo/freqlist.txt"},
  };
  for (const Case& c : cases) {
    FileLocationFacts facts;
    facts.programPath = c.program;
    facts.settingsBesideProgram = c.iniBeside;
    facts.programFolderWritable = c.writable;
    facts.xdgConfigHome = c.xdgConfig;
    facts.xdgStateHome = c.xdgState;
    facts.home = c.home;
    const FileLocations files = LocateFiles(facts);
    EXPECT_EQ(files.settings, c.settings) << c.what;
    EXPECT_EQ(files.freqList, c.freqList) << c.what;
    EXPECT_EQ(files.callLog, c.callLog) << c.what;
    EXPECT_EQ(files.portable, c.shipped == nullptr) << c.what;
    if (c.shipped == nullptr) {
      EXPECT_TRUE(files.shippedFreqLists.empty()) << c.what;
    } else {
      // Beside the program first, then the installation's shared data.
      const std::filesystem::path program(c.program);
      ASSERT_EQ(files.shippedFreqLists.size(), 2u) << c.what;
      EXPECT_EQ(files.shippedFreqLists[0], program.parent_path() / "freqlist.txt") << c.what;
      EXPECT_EQ(files.shippedFreqLists[1], c.shipped) << c.what;
    }
  }
}

}  // namespace
}  // namespace tarvo
