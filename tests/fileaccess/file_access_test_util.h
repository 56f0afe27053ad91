// SPDX-License-Identifier: MIT
// Small file helpers for the file-access tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace veltrane::fileaccess::testing {

namespace fs = std::filesystem;

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline unsigned ModeOf(const std::string& path) {
  return static_cast<unsigned>(fs::status(path).permissions());
}

// Entries of a directory, to catch a temporary file left behind.
inline long EntryCount(const std::string& directory) {
  return std::distance(fs::directory_iterator(directory), fs::directory_iterator{});
}

}  // namespace veltrane::fileaccess::testing
