#include "core/app/ini_file.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>
#include <vector>

namespace tarvo {
namespace {

struct FileText {
  std::vector<std::string> lines;  // without line ends
  const char* newline = "\n";      // the file's own line end
};

std::optional<FileText> Load(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::stringstream buffer;
  buffer << in.rdbuf();
  const std::string text = buffer.str();
  FileText file;
  if (text.find("\r\n") != std::string::npos) file.newline = "\r\n";
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    file.lines.push_back(std::move(line));
    start = end + 1;
  }
  return file;
}

std::string Trim(const std::string& text) {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

bool SameName(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

// The section name of a "[name]" line.
std::optional<std::string> SectionOf(const std::string& line) {
  const std::string trimmed = Trim(line);
  if (trimmed.size() < 2 || trimmed.front() != '[') return std::nullopt;
  const std::size_t close = trimmed.find(']');
  if (close == std::string::npos) return std::nullopt;
  return Trim(trimmed.substr(1, close - 1));
}

bool IsComment(const std::string& line) {
  const std::string trimmed = Trim(line);
  return !trimmed.empty() && (trimmed.front() == ';' || trimmed.front() == '#');
}

// Key name of a "key=value" line, or nullopt for other lines.
std::optional<std::string> KeyOf(const std::string& line) {
  if (IsComment(line)) return std::nullopt;
  const std::size_t equals = line.find('=');
  if (equals == std::string::npos) return std::nullopt;
  return Trim(line.substr(0, equals));
}

// Where a section's lines lie: [header, end), end being the next section header or the end.
struct SectionSpan {
  std::size_t header;
  std::size_t end;
};

std::optional<SectionSpan> FindSection(const FileText& file, const std::string& section) {
  for (std::size_t i = 0; i < file.lines.size(); ++i) {
    const auto name = SectionOf(file.lines[i]);
    if (!name || !SameName(*name, section)) continue;
    std::size_t end = i + 1;
    while (end < file.lines.size() && !SectionOf(file.lines[end])) ++end;
    return SectionSpan{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> FindKey(const FileText& file, SectionSpan span, const std::string& key) {
  for (std::size_t i = span.header + 1; i < span.end; ++i) {
    const auto name = KeyOf(file.lines[i]);
    if (name && SameName(*name, key)) return i;
  }
  return std::nullopt;
}

std::string Unquote(const std::string& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

std::string IniFile::Read(const std::string& section, const std::string& key,
                          const std::string& fallback) const {
  const auto file = Load(path_);
  if (!file) return fallback;
  const auto span = FindSection(*file, section);
  if (!span) return fallback;
  const auto line = FindKey(*file, *span, key);
  if (!line) return fallback;
  const std::string& text = file->lines[*line];
  std::string value = Unquote(Trim(text.substr(text.find('=') + 1)));
  if (value.size() > kMaxValueLength) value.resize(kMaxValueLength);
  return value;
}

bool IniFile::Write(const std::string& section, const std::string& key, const std::string& value) {
  std::error_code error;
  auto loaded = Load(path_);
  if (!loaded && std::filesystem::exists(path_, error)) return false;  // never lose its lines
  FileText file = loaded.value_or(FileText{});
  const auto span = FindSection(file, section);
  if (!span) {
    file.lines.push_back("[" + section + "]");
    file.lines.push_back(key + "=" + value);
  } else if (const auto line = FindKey(file, *span, key)) {
    file.lines[*line] = *KeyOf(file.lines[*line]) + "=" + value;
  } else {
    // After the section's last non-blank line, so blank lines before the next section stay.
    std::size_t at = span->end;
    while (at > span->header + 1 && Trim(file.lines[at - 1]).empty()) --at;
    file.lines.insert(file.lines.begin() + static_cast<std::ptrdiff_t>(at), key + "=" + value);
  }

  std::filesystem::path temporary = path_;
  temporary += ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    for (const std::string& line : file.lines) out << line << file.newline;
    out.flush();
    if (!out) {
      out.close();
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  std::filesystem::rename(temporary, path_, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  return true;
}

}  // namespace tarvo
