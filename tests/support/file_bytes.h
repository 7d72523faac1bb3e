// Whole files as raw bytes, for tests that check exactly what lies on disk.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace tarvo::testing {

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace tarvo::testing
