// SPDX-License-Identifier: MIT
// Runs veltrane-cli in a fresh directory per test and reads what it left there.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "model/definition.h"
#include "persist/config_file.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace veltrane {

struct Result {
  int status;
  std::string output;  // stdout and stderr together
};

class CliTest : public ::testing::Test {
 protected:
  // env: assignments put before the command, such as NIRVEX_DEVICE=...
  Result Cli(const std::string& args, const std::string& env = "") {
    return Run(args, env, "2>&1");
  }
  // The same with the output holding stdout alone.
  Result CliStdout(const std::string& args, const std::string& env = "") {
    return Run(args, env, "2>/dev/null");
  }
  Result Run(const std::string& args, const std::string& env, const std::string& redirect) {
    const std::string command =
        "cd '" + dir.path() + "' && " + env + " '" VELTRANE_CLI "' " + args + " " + redirect;
    Result result{-1, {}};
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
  }
  std::string Read(const std::string& name) { return testing::ReadFileText(dir.File(name)); }
  void WriteBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(dir.File(name), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }
  // A file of the oldest generation: version 5.0, legend of key 0, layer 2 ibmkey 31.
  std::vector<std::uint8_t> OldestFile() {
    std::vector<std::uint8_t> bytes(16528, 0);
    bytes[4] = 5;
    const std::size_t key0 = 144;
    bytes[key0 + 4] = 1;
    bytes[key0 + 5] = 1;
    const char legend[] = "Space";
    std::copy(legend, legend + 5, bytes.begin() + key0 + 28);
    bytes[key0 + 61 + 24] = 1;
    bytes[key0 + 64 + 24] = 31;
    bytes[key0 + 69 + 24] = 0;
    return bytes;
  }
  // A current configuration file with `meanings` distinct used layers.
  void WriteConfig(const std::string& name, int meanings) {
    model::KeyboardDefinition def;
    model::InitialiseDefinition(def);
    for (int i = 0; i < meanings; ++i) {
      model::KeyLayer& layer = def.keys[i / 4].layers[i % 4];
      model::AssignTableKey(layer, 1 + i % 58);  // rows 1..58 have codes of their own
      layer.keymode = static_cast<std::uint8_t>(i / 58);
      layer.used = 1;
    }
    persist::HeaderImage header;
    ASSERT_TRUE(persist::WriteConfigFile(dir.File(name), def, header));
  }
  testing::TempDir dir;
};

}  // namespace veltrane
