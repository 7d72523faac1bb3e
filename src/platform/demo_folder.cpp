#include "platform/demo_folder.h"

#include <stdlib.h>

#include <string>

namespace tarvo {

DemoFolder::DemoFolder(bool wanted) {
  if (!wanted) return;
  std::error_code error;
  std::string pattern =
      (std::filesystem::temp_directory_path(error) / "tarvo-demo-XXXXXX").string();
  if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

DemoFolder::~DemoFolder() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

}  // namespace tarvo
