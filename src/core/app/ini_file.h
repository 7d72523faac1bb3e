// A settings file of "[Section]" and "key=value" lines, read and written the way the platform's
// private-profile calls do: values replaced in place, a missing key appended to its section, a
// missing section to the file, every other line kept as it stands.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

struct IniEntry {
  std::string section;
  std::string key;
  std::string value;
};

// The text of a settings file in memory. A leading UTF-8 byte-order mark is skipped (and kept
// on writing); lines may end with CR LF, LF or CR, and the file's own line end is kept.
class IniText {
 public:
  // Texts are read back up to this many characters.
  static constexpr std::size_t kMaxValueLength = 2047;

  IniText() = default;
  explicit IniText(std::string_view bytes);

  // The key's value (spaces around it and one pair of enclosing quotes removed), or fallback
  // when the section or the key is missing. Names compare case-insensitively.
  std::string Read(std::string_view section, std::string_view key, std::string_view fallback) const;
  // A value that reading would change (blanks at its ends, enclosing quotes) is written in
  // double quotes, so it reads back as it was set.
  void Set(std::string_view section, std::string_view key, std::string_view value);
  std::string Bytes() const;

 private:
  std::vector<std::string> lines_;  // without line ends
  std::string newline_ = "\n";
  bool byteOrderMark_ = false;
};

class IniFile {
 public:
  static constexpr std::size_t kMaxValueLength = IniText::kMaxValueLength;

  explicit IniFile(std::filesystem::path path) : path_(std::move(path)) {}

  const std::filesystem::path& Path() const { return path_; }

  // The file as it is now; empty when it is missing or unreadable.
  IniText Contents() const;
  // Reads the file afresh; fallback when the file, the section or the key is missing.
  std::string Read(const std::string& section, const std::string& key,
                   const std::string& fallback) const;

  // Sets every entry in one pass and replaces the file once (through a symbolic link, keeping
  // its mode), so a failure or a power cut leaves the old file whole. False when the system
  // refuses the write or the file is read-only; the file is then left as it was.
  bool WriteAll(const std::vector<IniEntry>& entries);
  bool Write(const std::string& section, const std::string& key, const std::string& value) {
    return WriteAll({{section, key, value}});
  }

 private:
  std::filesystem::path path_;
};

}  // namespace tarvo
