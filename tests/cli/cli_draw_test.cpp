// SPDX-License-Identifier: MIT
// veltrane-cli draw end to end: the format by the output's name, the layers,
// and bad input refused with nothing written.
#include <filesystem>

#include "cli/cli_fixture.h"

namespace veltrane {
namespace {

class CliDrawTest : public CliTest {
 protected:
  void SetUp() override { WriteConfig("kb.DAT", 12); }
  bool Exists(const std::string& name) { return std::filesystem::exists(dir.File(name)); }
};

TEST_F(CliDrawTest, TheOutputsNameChoosesTheFormatAndNoneSendsTheSvgToStdout) {
  ASSERT_EQ(Cli("draw kb.DAT -o k.svg").status, 0);
  EXPECT_NE(Read("k.svg").find("id=\"fn1+fn2-0-0\""), std::string::npos);
  ASSERT_EQ(Cli("draw kb.DAT -o K.PDF").status, 0);
  EXPECT_TRUE(Read("K.PDF").starts_with("%PDF-"));
  ASSERT_EQ(Cli("draw kb.DAT --layer=base -o k.png").status, 0);
  EXPECT_TRUE(Read("k.png").starts_with("\x89PNG"));
  for (const char* args : {"draw kb.DAT --layer fn1", "draw kb.DAT -o - --layer fn1"}) {
    const Result out = CliStdout(args);
    ASSERT_EQ(out.status, 0) << args;
    EXPECT_NE(out.output.find("id=\"fn1-3-7\""), std::string::npos) << args;
    EXPECT_EQ(out.output.find("id=\"base-3-7\""), std::string::npos) << args;
  }
}

TEST_F(CliDrawTest, BadInputIsRefusedAndNothingIsWritten) {
  WriteBytes("bad.DAT", std::vector<std::uint8_t>(100, 0));
  const Result damaged = Cli("draw bad.DAT -o k.svg");
  EXPECT_EQ(damaged.status, 1);
  EXPECT_NE(damaged.output.find("Incompatible .DAT file"), std::string::npos) << damaged.output;

  // Usage errors end with 2.
  for (const auto& [args, told] :
       {std::pair{"draw kb.DAT -o k.jpg",
                  "k.jpg: not a picture format; name it .svg, .pdf or .png"},
        std::pair{"draw kb.DAT --layer fn3 -o k.svg", "unknown layer 'fn3'"},
        std::pair{"draw -o k.svg", ""}}) {
    const Result refused = Cli(args);
    EXPECT_EQ(refused.status, 2) << args;
    EXPECT_NE(refused.output.find(told), std::string::npos) << refused.output;
  }

  // A configuration file that happens to have a picture's name is not drawn over.
  std::filesystem::copy_file(dir.File("kb.DAT"), dir.File("kb.png"));
  const Result self = Cli("draw kb.png -o kb.png");
  EXPECT_EQ(self.status, 1) << self.output;
  EXPECT_EQ(Read("kb.png"), Read("kb.DAT"));
  EXPECT_FALSE(Exists("k.svg"));
  EXPECT_FALSE(Exists("k.jpg"));
}

}  // namespace
}  // namespace veltrane
