// SPDX-License-Identifier: MIT
// Test data files and scratch paths for the link tests.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/files.h"

namespace veltrane::link::testing {

// Bytes of a tests/data/link/*.hex file: hex pairs, '#' comments to the line end.
inline std::vector<std::uint8_t> LoadHexFile(const std::string& name) {
  std::ifstream file(std::string(VELTRANE_TEST_DATA) + "/link/" + name);
  std::vector<std::uint8_t> bytes;
  std::string line;
  while (std::getline(file, line)) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::string word;
    while (words >> word) bytes.push_back(static_cast<std::uint8_t>(std::stoul(word, nullptr, 16)));
  }
  return bytes;
}

// A fresh path in the test's scratch directory; nothing exists there yet.
inline std::string ScratchPath(const std::string& name) {
  const std::string path =
      ::testing::TempDir() + "veltrane_link_" + std::to_string(::getpid()) + "_" + name;
  std::remove(path.c_str());
  std::remove((path + ".lock").c_str());
  return path;
}

using veltrane::testing::ReadFileText;

}  // namespace veltrane::link::testing
