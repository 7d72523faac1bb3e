// Runs one of the program's command-line tools from the build folder (TARVO_TEST_TOOLS) through
// the shell and collects its exit status and output lines.
#pragma once

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace tarvo::testing {

struct ToolResult {
  int status;  // -1 when the tool did not exit normally
  std::vector<std::string> out;
  std::vector<std::string> err;
};

// args go to the shell as they stand; dir holds the captured output.
ToolResult RunTool(const TempDir& dir, const std::string& tool, const std::string& args);

// text in single quotes for the shell.
std::string Quote(const std::string& text);

}  // namespace tarvo::testing
