// SPDX-License-Identifier: MIT
// --version prints the version the build was made with, as help2man reads it.
#include "cli/cli_fixture.h"
#include "veltrane_version.h"

namespace veltrane {
namespace {

using CliVersionTest = CliTest;

TEST_F(CliVersionTest, TheVersionIsTheProjects) {
  const Result version = Cli("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.output, "veltrane-cli (Veltrane) " + std::string(kVersion) + "\n");
}

}  // namespace
}  // namespace veltrane
