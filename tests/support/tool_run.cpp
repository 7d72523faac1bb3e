#include "support/tool_run.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>

namespace tarvo::testing {
namespace {

std::vector<std::string> Lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace

std::string Quote(const std::string& text) {
  return "'" + text + "'";
}

ToolResult RunTool(const TempDir& dir, const std::string& tool, const std::string& args) {
  const char* tools = std::getenv("TARVO_TEST_TOOLS");
  EXPECT_NE(tools, nullptr) << "TARVO_TEST_TOOLS names the build folder";
  const std::string out = (dir.path() / "stdout.txt").string();
  const std::string err = (dir.path() / "stderr.txt").string();
  const std::string command = Quote(std::string(tools ? tools : ".") + "/" + tool) + " " + args +
                              " >" + Quote(out) + " 2>" + Quote(err);
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Lines(out), Lines(err)};
}

}  // namespace tarvo::testing
