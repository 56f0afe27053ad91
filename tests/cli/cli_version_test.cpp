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
  // The window shows it as "V05.27": major and minor in two digits each.
  int major = 0, minor = 0;
  ASSERT_EQ(std::sscanf(std::string(kVersion).c_str(), "%d.%d", &major, &minor), 2);
  char shown[16];
  std::snprintf(shown, sizeof shown, "V%02d.%02d", major, minor);
  EXPECT_EQ(kProgramVersion, shown);
}

}  // namespace
}  // namespace veltrane
