#include "core/app/ini_file.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

#include "core/base/atomic_file.h"

namespace tarvo {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

// The section name of a "[name]" line.
std::optional<std::string_view> SectionOf(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.size() < 2 || trimmed.front() != '[') return std::nullopt;
  const std::size_t close = trimmed.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(trimmed.substr(1, close - 1));
}

bool IsComment(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  return !trimmed.empty() && (trimmed.front() == ';' || trimmed.front() == '#');
}

// Key name of a "key=value" line, or nullopt for other lines.
std::optional<std::string_view> KeyOf(std::string_view line) {
  if (IsComment(line)) return std::nullopt;
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(0, equals));
}

// Where a section's lines lie: [header, end), end being the next section header or the end.
struct SectionSpan {
  std::size_t header;
  std::size_t end;
};

std::optional<SectionSpan> FindSection(const std::vector<std::string>& lines,
                                       std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto name = SectionOf(lines[i]);
    if (!name || !SameName(*name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines.size() && !SectionOf(lines[end])) ++end;
    return SectionSpan{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<std::string>& lines, SectionSpan span,
                                   std::string_view key) {
  for (std::size_t i = span.header + 1; i < span.end; ++i) {
    const auto name = KeyOf(lines[i]);
    if (name && SameName(*name, key)) return i;
  }
  return std::nullopt;
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

std::optional<std::string> LoadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace

IniText::IniText(std::string_view bytes) {
  if (bytes.starts_with(kByteOrderMark)) {
    byteOrderMark_ = true;
    bytes.remove_prefix(kByteOrderMark.size());
  }
  const std::size_t firstEnd = bytes.find_first_of("\r\n");
  if (firstEnd != std::string_view::npos && bytes[firstEnd] == '\r') {
    newline_ = firstEnd + 1 < bytes.size() && bytes[firstEnd + 1] == '\n' ? "\r\n" : "\r";
  }
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    lines_.emplace_back(bytes.substr(start, i - start));
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) lines_.emplace_back(bytes.substr(start));
}

std::string IniText::Read(std::string_view section, std::string_view key,
                          std::string_view fallback) const {
  const auto span = FindSection(lines_, section);
  if (!span) return std::string(fallback);
  const auto line = FindKey(lines_, *span, key);
  if (!line) return std::string(fallback);
  const std::string_view text = lines_[*line];
  std::string value(Unquote(Trim(text.substr(text.find('=') + 1))));
  if (value.size() > kMaxValueLength) value.resize(kMaxValueLength);
  return value;
}

namespace {

// The value as it must stand in the file to read back as itself: blanks at its ends or a pair
// of enclosing quotes would be taken off on reading, so such a value goes in double quotes.
std::string StoredValue(std::string_view value) {
  if (Trim(value) == value && Unquote(value) == value) return std::string(value);
  return "\"" + std::string(value) + "\"";
}

}  // namespace

void IniText::Set(std::string_view section, std::string_view key, std::string_view rawValue) {
  const std::string value = StoredValue(rawValue);
  const auto span = FindSection(lines_, section);
  if (!span) {
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(std::string(key) + "=" + std::string(value));
  } else if (const auto line = FindKey(lines_, *span, key)) {
    lines_[*line] = std::string(*KeyOf(lines_[*line])) + "=" + std::string(value);
  } else {
    // After the section's last non-blank line, so blank lines before the next section stay.
    std::size_t at = span->end;
    while (at > span->header + 1 && Trim(lines_[at - 1]).empty()) --at;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at),
                  std::string(key) + "=" + std::string(value));
  }
}

std::string IniText::Bytes() const {
  std::string bytes = byteOrderMark_ ? std::string(kByteOrderMark) : std::string();
  for (const std::string& line : lines_) {
    bytes += line;
    bytes += newline_;
  }
  return bytes;
}

IniText IniFile::Contents() const {
  return IniText(LoadBytes(path_).value_or(std::string()));
}

std::string IniFile::Read(const std::string& section, const std::string& key,
                          const std::string& fallback) const {
  const auto bytes = LoadBytes(path_);
  if (!bytes) return fallback;
  return IniText(*bytes).Read(section, key, fallback);
}

bool IniFile::WriteAll(const std::vector<IniEntry>& entries) {
  auto bytes = LoadBytes(path_);
  std::error_code error;
  if (!bytes && std::filesystem::exists(path_, error)) return false;  // never lose its lines
  IniText text(bytes.value_or(std::string()));
  for (const IniEntry& entry : entries) text.Set(entry.section, entry.key, entry.value);
  return ReplaceFileContents(path_, text.Bytes());
}

}  // namespace tarvo
