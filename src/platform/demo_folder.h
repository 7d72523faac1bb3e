// The demo's own folder for settings, frequency list and call log: made under the system's
// temporary folder and removed with everything in it at the end, so the user's files are never
// read or written.
#pragma once

#include <filesystem>

namespace tarvo {

class DemoFolder {
 public:
  // Makes nothing when not wanted; Path() is empty then, or when no folder could be made.
  explicit DemoFolder(bool wanted);
  ~DemoFolder();
  DemoFolder(const DemoFolder&) = delete;
  DemoFolder& operator=(const DemoFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace tarvo
