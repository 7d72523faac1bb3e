// A settings file in a fresh temporary folder, for tests that check exactly what lies on disk.
#pragma once

#include <filesystem>
#include <string>

#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace tarvo::testing {

struct TempSettingsFile {
  void Put(const std::string& text) const { WriteBytes(path, text); }
  std::string Contents() const { return ReadBytes(path); }

  TempDir dir;
  std::filesystem::path path = dir.path() / "tarvo.ini";
};

}  // namespace tarvo::testing
