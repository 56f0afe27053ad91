// SPDX-License-Identifier: MIT
// Whole files as text, for comparing what the code under test wrote.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace veltrane::testing {

// The file's bytes; empty when it cannot be read.
inline std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace veltrane::testing
