// The stored control-frequency list "freqlist.txt": one entry per line, read as UTF-8 (or
// CP932 for older lists), written as UTF-8 with CR LF through a temporary file.
#pragma once

#include <string>
#include <vector>

#include "core/dialogs/cp932_decoder.h"

namespace tarvo {

// The entries of a text: lines end with CR LF, CR or LF, the last may have no end; empty lines
// are empty entries.
std::vector<std::string> SplitListLines(const std::string& text);

bool IsValidUtf8(const std::string& bytes);

// The first `count` characters (UTF-8 code points, never a partial one) of an entry.
std::string LeadingCharacters(const std::string& utf8, std::size_t count);

struct FreqListRead {
  enum class Status { kRead, kMissing, kUnreadable };
  Status status = Status::kMissing;
  std::vector<std::string> entries;
};

// The entries of a list file's bytes, as ReadFreqList gives them.
std::vector<std::string> ParseFreqList(std::string bytes, Cp932Decoder* decoder);

// Reads the list; bytes that are not UTF-8 are taken as CP932 through `decoder` (when given).
FreqListRead ReadFreqList(const std::string& path, Cp932Decoder* decoder);

// Replaces the file with the entries, each followed by CR LF, in one pass (through a symbolic
// link, keeping the file's mode), so a failure leaves the old list as it was. Returns false when
// the list could not be written.
bool WriteFreqList(const std::string& path, const std::vector<std::string>& entries);

}  // namespace tarvo
