#include "core/dialogs/freq_list_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "core/base/atomic_file.h"

namespace tarvo {
namespace {

// Length of the valid UTF-8 sequence at text[i], or 0 when the bytes there are not one.
std::size_t Utf8SequenceLength(const std::string& text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  }
  return length;
}

// Valid UTF-8 with each stray byte replaced by U+FFFD, so the views never get broken text.
std::string ReplaceInvalidUtf8(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = Utf8SequenceLength(bytes, i);
    if (length == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else {
      out.append(bytes, i, length);
      i += length;
    }
  }
  return out;
}

std::string DecodeListText(std::string bytes, Cp932Decoder* decoder) {
  // A byte-order mark is no part of the first entry, whichever way the rest is read.
  // A mark doubled by a careless editor goes too.
  while (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
  if (IsValidUtf8(bytes)) return bytes;
  if (decoder != nullptr) {
    if (auto converted = decoder->ToUtf8(bytes)) return *converted;
  }
  return ReplaceInvalidUtf8(bytes);
}

}  // namespace

std::vector<std::string> SplitListLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

bool IsValidUtf8(const std::string& bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = Utf8SequenceLength(bytes, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string LeadingCharacters(const std::string& utf8, std::size_t count) {
  std::size_t end = 0;
  for (std::size_t n = 0; n < count && end < utf8.size(); ++n) {
    const std::size_t length = Utf8SequenceLength(utf8, end);
    end += length == 0 ? 1 : length;
  }
  return utf8.substr(0, end);
}

std::vector<std::string> ParseFreqList(std::string bytes, Cp932Decoder* decoder) {
  return SplitListLines(DecodeListText(std::move(bytes), decoder));
}

FreqListRead ReadFreqList(const std::string& path, Cp932Decoder* decoder) {
  FreqListRead result;
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (status.type() == std::filesystem::file_type::not_found) {
    result.status = FreqListRead::Status::kMissing;
    return result;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in || std::filesystem::is_directory(status)) {
    result.status = FreqListRead::Status::kUnreadable;
    return result;
  }
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) {
    result.status = FreqListRead::Status::kUnreadable;
    return result;
  }
  result.status = FreqListRead::Status::kRead;
  result.entries = ParseFreqList(std::move(bytes), decoder);
  return result;
}

bool WriteFreqList(const std::string& path, const std::vector<std::string>& entries) {
  // The user's folder is made on first use.
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  std::string bytes;
  for (const std::string& entry : entries) {
    bytes += entry;
    bytes += "\r\n";
  }
  return ReplaceFileContents(path, bytes);
}

}  // namespace tarvo
