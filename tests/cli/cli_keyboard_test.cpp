// veltrane-cli against the simulated keyboard: each run is a process of its
// own, and the keyboard's memory lives in a file between them.
#include "cli/cli_fixture.h"

namespace veltrane {
namespace {

class CliKeyboardTest : public CliTest {
 protected:
  std::string Device(const std::string& options = "") {
    return "NIRVEX_DEVICE='sim:" + dir.File("kb.sim") + ",time=virtual" + options +
           "' NIRVEX_TRACE='" + dir.File("trace.txt") + "'";
  }
  std::vector<std::string> TraceLines() {
    std::vector<std::string> lines;
    std::istringstream in(Read("trace.txt"));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
};

TEST_F(CliKeyboardTest, DetectPrintsTheVersionAndFailsWithoutAKeyboard) {
  const Result found = Cli("detect", Device());
  EXPECT_EQ(found.status, 0);
  EXPECT_NE(found.output.find("Version text: V0527X"), std::string::npos);
  EXPECT_NE(found.output.find("Firmware version: 527"), std::string::npos);
  const Result missing = Cli("detect", Device(",pid=0xff01"));
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.output.find("Version text: Not found"), std::string::npos);
  const Result denied = Cli("detect", Device(",open=denied"));
  EXPECT_EQ(denied.status, 1);
  EXPECT_NE(denied.output.find("sudo ./dev udev"), std::string::npos);
}

TEST_F(CliKeyboardTest, ProgrammedKeyboardReadsBackInAnotherProcess) {
  WriteConfig("Board.DAT", 40);
  const std::string version = "'V0527X Simulated keyboard'";
  ASSERT_EQ(Cli("build Board.DAT --bin built.bin --version-text " + version).status, 0);
  const Result programmed = Cli("program Board.DAT", Device());
  ASSERT_EQ(programmed.status, 0) << programmed.output;
  EXPECT_NE(programmed.output.find("Download: Plug in the keyboard to program !"),
            std::string::npos);
  EXPECT_NE(programmed.output.find("nirvex: Done"), std::string::npos);

  const Result read = Cli("read -o back.DAT --copy raw.bin", Device());
  ASSERT_EQ(read.status, 0) << read.output;
  EXPECT_NE(read.output.find("Reading: Keyboard read !"), std::string::npos);
  EXPECT_EQ(Read("raw.bin").substr(0, 3072), Read("built.bin").substr(0, 3072));

  ASSERT_EQ(Cli("decode built.bin -o reference.DAT --version-text " + version).status, 0);
  std::string back = Read("back.DAT"), reference = Read("reference.DAT");
  ASSERT_EQ(back.size(), 20628u);
  ASSERT_EQ(reference.size(), 20628u);
  back.replace(76, 32, 32, '\0');  // the two files' own names
  reference.replace(76, 32, 32, '\0');
  EXPECT_EQ(back, reference);
  EXPECT_EQ(TraceLines().size(), 768u + 2 * 768u);  // 768 writes, then 768 requests and replies
}

TEST_F(CliKeyboardTest, RefusedReportFailsTheDownload) {
  WriteConfig("Board.DAT", 4);
  const Result result = Cli("program Board.DAT", Device(",refuse=251"));
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.output.find("nirvex: Setfeature returned:"), std::string::npos);
  EXPECT_EQ(result.output.find("nirvex: Done"), std::string::npos);
  EXPECT_NE(result.output.find("Programming: Programming failed"), std::string::npos);
}

TEST_F(CliKeyboardTest, ProgramWithoutKeyboardStopsBeforeSending) {
  WriteConfig("Board.DAT", 4);
  const Result result = Cli("program Board.DAT", Device(",vid=0x1234"));
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.output.find("ReadFirmwareVersion: No Keyboard Found!"), std::string::npos);
  EXPECT_TRUE(TraceLines().empty());
}

TEST_F(CliKeyboardTest, CopyThatCannotBeWrittenIsReported) {
  const Result result = Cli("read -o back.DAT --copy nodir/raw.bin", Device());
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.output.find("Cannot open: nodir/raw.bin"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(dir.File("back.DAT")));
}

TEST_F(CliKeyboardTest, FailedReadSavesNothing) {
  const Result result = Cli("read -o back.DAT", Device(",refuse=10"));
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.output.find("nirvex: Set or GetFeature failed"), std::string::npos);
  EXPECT_EQ(result.output.find("Keyboard read !"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.File("back.DAT")));
}

TEST_F(CliKeyboardTest, MatrixOnThenOffSendsTheSwitch) {
  ASSERT_EQ(Cli("matrix on", Device()).status, 0);
  ASSERT_EQ(Cli("matrix off", Device()).status, 0);
  EXPECT_EQ(TraceLines(), (std::vector<std::string>{"set 00 00 ff 00 00 00 b1",
                                                    "set 00 00 ff 00 00 00 c2"}));
  const Result refused = Cli("matrix on", Device(",product=V0527"));
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.output.find("has no matrix switch"), std::string::npos);
  EXPECT_EQ(TraceLines().size(), 2u);
  EXPECT_EQ(Cli("matrix sideways", Device()).status, 2);
}

}  // namespace
}  // namespace veltrane
