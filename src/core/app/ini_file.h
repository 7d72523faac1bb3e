// A settings file of "[Section]" and "key=value" lines, read and written one key at a time the
// way the platform's private-profile calls do: values replaced in place, a missing key appended
// to its section, a missing section to the file, every other line kept as it stands.
#pragma once

#include <filesystem>
#include <string>

namespace tarvo {

class IniFile {
 public:
  // Texts are read back up to this many characters.
  static constexpr std::size_t kMaxValueLength = 2047;

  explicit IniFile(std::filesystem::path path) : path_(std::move(path)) {}

  const std::filesystem::path& Path() const { return path_; }

  // The key's value (spaces around it and one pair of enclosing quotes removed), or fallback
  // when the file, the section or the key is missing. Names compare case-insensitively.
  std::string Read(const std::string& section, const std::string& key,
                   const std::string& fallback) const;

  // Writes through a temporary file in the same folder renamed over the old file, so a failed
  // write never leaves a truncated file. False when the system refuses the write.
  bool Write(const std::string& section, const std::string& key, const std::string& value);

 private:
  std::filesystem::path path_;
};

}  // namespace tarvo
