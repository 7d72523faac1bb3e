// The tree `cmake --install` makes, in a temporary prefix that is then made read-only: every
// command with its manual page, help and version, the desktop entry, and the installed window
// program keeping its files in the user's folders.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "install/x_display.h"
#include "support/temp_dir.h"
#include "tarvo_version.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

struct Shell {
  int status;
  std::string out;  // standard output and standard error
};

// Standard output and standard error together.
Shell RunShell(const std::string& command) {
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  std::string out;
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) out.append(chunk, n);
  const int raw = pclose(pipe);
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, out};
}

std::string Quote(const fs::path& path) {
  return "'" + path.string() + "'";
}

bool HaveProgram(const char* name) {
  return RunShell(std::string("command -v ") + name).status == 0;
}

// Every long option a text names; manual pages write the dashes as "\-".
std::set<std::string> LongOptions(const std::string& text) {
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '-') continue;
    plain += text[i];
  }
  std::set<std::string> options;
  const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || c == '-'; };
  for (std::size_t at = plain.find("--"); at != std::string::npos; at = plain.find("--", at)) {
    std::size_t end = at + 2;
    while (end < plain.size() && letter(plain[end])) ++end;
    if (end > at + 2 && plain[at + 2] != '-') options.insert(plain.substr(at, end - at));
    at = end;
  }
  return options;
}

class InstallTree : public ::testing::Test {
 protected:
  void SetUp() override {
    const Shell install = RunShell(std::string("'") + TARVO_CMAKE_COMMAND + "' --install '" +
                                   TARVO_BUILD_DIR + "' --prefix " + Quote(prefix));
    ASSERT_EQ(install.status, 0) << install.out;
    ASSERT_EQ(RunShell("chmod -R a-w " + Quote(prefix)).status, 0);
  }
  void TearDown() override { RunShell("chmod -R u+w " + Quote(prefix)); }

  std::vector<std::string> Commands() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(prefix / "bin")) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  TempDir dir;
  fs::path prefix = dir.path() / "prefix";
};

TEST_F(InstallTree, EveryCommandHasItsManualPageHelpAndVersion) {
  std::set<std::string> installed;
  for (const std::string& name : Commands()) {
    SCOPED_TRACE(name);
    installed.insert(name);
    const fs::path program = prefix / "bin" / name;
    const fs::path page = prefix / "share/man/man1" / (name + ".1.gz");
    ASSERT_TRUE(fs::exists(page));

    const Shell version = RunShell(Quote(program) + " --version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, name + " " + kTarvoVersion + "\n");

    const Shell help = RunShell(Quote(program) + " --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: " + name + " ", 0), 0u) << help.out;
    // The manual page and --help name the same options.
    const Shell manual = RunShell("gzip -dc " + Quote(page));
    ASSERT_EQ(manual.status, 0);
    EXPECT_TRUE(LongOptions(help.out).count("--version"));
    EXPECT_EQ(LongOptions(manual.out), LongOptions(help.out));
    EXPECT_NE(manual.out.find(std::string("Tarvo ") + kTarvoVersion), std::string::npos);
  }
  for (const char* command : {"tarvo-decode", "tarvo-tune"}) {
    EXPECT_TRUE(installed.count(command)) << command;
  }
#ifdef TARVO_WINDOW_PROGRAM
  EXPECT_TRUE(installed.count("tarvo"));
#endif
  for (const char* file :
       {"share/applications/tarvo.desktop", "share/icons/hicolor/scalable/apps/tarvo.svg",
        "share/doc/tarvo/README.md", "share/tarvo/freqlist.txt"}) {
    EXPECT_TRUE(fs::is_regular_file(prefix / file)) << file;
  }
}

TEST_F(InstallTree, DesktopEntryAndManualPagesAreWellFormed) {
  if (!HaveProgram("desktop-file-validate") || !HaveProgram("man")) {
    GTEST_SKIP() << "desktop-file-validate or man is not installed";
  }
  const Shell desktop =
      RunShell("desktop-file-validate " + Quote(prefix / "share/applications/tarvo.desktop"));
  EXPECT_EQ(desktop.status, 0) << desktop.out;
  EXPECT_EQ(desktop.out.find("error"), std::string::npos) << desktop.out;
  for (const std::string& name : Commands()) {
    const fs::path page = prefix / "share/man/man1" / (name + ".1.gz");
    const Shell shown =
        RunShell("{ MANWIDTH=80 man --warnings -E UTF-8 -l " + Quote(page) + " >/dev/null; }");
    EXPECT_EQ(shown.status, 0) << name;
    EXPECT_EQ(shown.out, "") << name;
  }
}

#ifdef TARVO_WINDOW_PROGRAM

// Each line of `tarvo --files` in the environment given.
std::vector<std::string> FileLines(const fs::path& program, const std::string& environment) {
  const Shell shell = RunShell("env -u XDG_CONFIG_HOME -u XDG_STATE_HOME " + environment + " " +
                               Quote(program) + " --files");
  EXPECT_EQ(shell.status, 0) << shell.out;
  std::vector<std::string> lines;
  std::string line;
  for (const char c : shell.out) {
    if (c != '\n') {
      line += c;
    } else {
      lines.push_back(line);
      line.clear();
    }
  }
  return lines;
}

TEST_F(InstallTree, InstalledProgramKeepsItsFilesInTheUsersFoldersAPortableCopyBesideItself) {
  const fs::path config = dir.path() / "config";
  const fs::path home = dir.path() / "home";
  const std::vector<std::string> installed = {
      "settings " + (config / "tarvo/tarvo.ini").string(),
      "freqlist " + (config / "tarvo/freqlist.txt").string(),
      "shipped " + (prefix / "bin/freqlist.txt").string(),
      "shipped " + (prefix / "share/tarvo/freqlist.txt").string(),
      "calls " + (home / ".local/state/tarvo/tarvo-calls.jsonl").string(),
  };
  EXPECT_EQ(
      FileLines(prefix / "bin/tarvo", "XDG_CONFIG_HOME=" + Quote(config) + " HOME=" + Quote(home)),
      installed);

  const fs::path portable = dir.path() / "portable";
  fs::create_directory(portable);
  fs::copy_file(prefix / "bin/tarvo", portable / "tarvo");
  EXPECT_EQ(FileLines(portable / "tarvo", "HOME=" + Quote(home)),
            (std::vector<std::string>{"settings " + (portable / "tarvo.ini").string(),
                                      "freqlist " + (portable / "freqlist.txt").string(),
                                      "calls " + (portable / "tarvo-calls.jsonl").string()}));
}

#ifdef TARVO_X_DISPLAY
TEST_F(InstallTree, InstalledWindowSavesItsSettingsUnderXdgConfigHomeWhenClosed) {
  testing::XDisplay display;
  if (!display.Started()) GTEST_SKIP() << "Xvfb cannot start here";
  const fs::path config = dir.path() / "config";
  const std::set<std::string> before = [&] {
    const auto names = Commands();
    return std::set<std::string>(names.begin(), names.end());
  }();
  const int status = display.RunUntilClosed(
      prefix / "bin/tarvo",
      {"XDG_CONFIG_HOME=" + config.string(), "XDG_STATE_HOME=" + (dir.path() / "state").string(),
       "HOME=" + (dir.path() / "home").string(), "QT_QPA_PLATFORM=xcb",
       "ASAN_OPTIONS=detect_leaks=0", "PULSE_SERVER=unix:" + (dir.path() / "none").string()});
  EXPECT_EQ(status, 0);
  std::ifstream saved(config / "tarvo/tarvo.ini");
  std::string first;
  std::getline(saved, first);
  EXPECT_EQ(first, "[RS232C]");
  const auto after = Commands();
  EXPECT_EQ(std::set<std::string>(after.begin(), after.end()), before);
}
#endif

#endif

}  // namespace
}  // namespace tarvo
