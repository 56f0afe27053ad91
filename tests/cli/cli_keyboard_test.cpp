// SPDX-License-Identifier: MIT
// veltrane-cli against the simulated keyboard: each run is a process of its
// own, and the keyboard's memory lives in a file between them.
#include <memory>

#include "cli/cli_fixture.h"
#include "eeprom/image_builder.h"
#include "eeprom/random_definitions.h"

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
  // 768 writes and their read-back, then the read: 768 requests and replies each.
  EXPECT_EQ(TraceLines().size(), 768u + 2 * 2 * 768u);
  EXPECT_NE(programmed.output.find("nirvex: Done\nveltrane-cli: Verify: Verified 3072 bytes\n"),
            std::string::npos)
      << programmed.output;
}

TEST_F(CliKeyboardTest, ReadThenProgramUnderTheKeyboardsOwnNameLeavesEveryByte) {
  eeprom::test::RandomDefinitions random(20250114);
  std::filesystem::create_directory(dir.File("back"));
  // One keyboard of every firmware range the image layout knows.
  for (const char* product : {"V0005", "V0412X", "V0527X", "V0600", "V1420", "V1520"}) {
    SCOPED_TRACE(product);
    auto def = std::make_unique<model::KeyboardDefinition>();
    eeprom::EepromImage image{};
    do {
      model::InitialiseDefinition(*def);
      random.Fill(*def);
      model::FlattenStrings(*def);
    } while (!eeprom::BuildImage(*def, product, 0, image, nullptr).fits);
    persist::HeaderImage header;
    ASSERT_TRUE(persist::WriteConfigFile(dir.File("desk-v1.1.DAT"), *def, header));
    std::filesystem::remove(dir.File("kb.sim"));
    const std::string device = Device(std::string(",product=") + product);

    ASSERT_EQ(Cli("program desk-v1.1.DAT", device).status, 0);
    ASSERT_EQ(Cli("read -o first.DAT --copy first.bin", device).status, 0);
    const std::string first = Read("first.bin").substr(0, 3072);
    EXPECT_EQ(first.substr(0x610, 14),
              std::string("desk-v1.1.DAT\0", 14));  // the name it was built from
    // Read under the name the keyboard holds, and programmed again from it.
    const Result read = Cli("read -o back/desk-v1.1.DAT", device);
    ASSERT_EQ(read.status, 0) << read.output;
    const Result programmed = Cli("program back/desk-v1.1.DAT", device);
    ASSERT_EQ(programmed.status, 0) << programmed.output;
    ASSERT_EQ(Cli("read -o second.DAT --copy second.bin", device).status, 0);
    const std::string second = Read("second.bin").substr(0, 3072);
    for (std::size_t at = 0; at < first.size(); ++at)
      ASSERT_EQ(first[at], second[at]) << "byte 0x" << std::hex << at;
  }
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

TEST_F(CliKeyboardTest, FilesThatCannotBeWrittenAreNamedAndExitWithOne) {
  const Result copy = Cli("read -o back.DAT --copy nodir/raw.bin", Device());
  EXPECT_EQ(copy.status, 1);
  EXPECT_NE(copy.output.find("Cannot open: nodir/raw.bin"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(dir.File("back.DAT")));  // the read is still saved
  const Result output = Cli("read -o nodir/back.DAT", Device());
  EXPECT_EQ(output.status, 1);
  EXPECT_NE(output.output.find("Cannot open: nodir/back.DAT"), std::string::npos);
}

TEST_F(CliKeyboardTest, FailuresAfterTheLastReportExitWithOne) {
  WriteConfig("Board.DAT", 4);
  const Result closed = Cli("program Board.DAT", Device(",close=fail"));
  EXPECT_EQ(closed.status, 1);
  EXPECT_EQ(closed.output.find("nirvex: Done"), std::string::npos);  // not done until closed
  EXPECT_NE(closed.output.find("nirvex: CloseHandle failed"), std::string::npos);
  EXPECT_EQ(Cli("matrix on", Device(",refuse=1")).status, 1);
  EXPECT_EQ(Cli("matrix off", Device(",refuse=1")).status, 1);
  // The library shows no box for a switch whose close failed; its status tells.
  const Result switched = Cli("matrix on", Device(",close=fail"));
  EXPECT_EQ(switched.status, 1);
  EXPECT_EQ(switched.output.find("nirvex:"), std::string::npos) << switched.output;
}

TEST_F(CliKeyboardTest, VerifyComparesTheKeyboardWithTheImageSent) {
  WriteConfig("Board.DAT", 40);
  ASSERT_EQ(
      Cli("build Board.DAT --bin built.bin --version-text 'V0527X Simulated keyboard'").status, 0);
  const Result same = Cli("program Board.DAT --verify", Device());
  EXPECT_EQ(same.status, 0) << same.output;
  EXPECT_TRUE(same.output.ends_with("Verify: Verified 3072 bytes\n")) << same.output;

  // An erased keyboard that drops the second write keeps 0xff at 4..7, where the image has none.
  // The read-back is the default; the library's "Done" is not shown for it.
  std::filesystem::remove(dir.File("kb.sim"));
  const Result dropped = Cli("program Board.DAT", Device(",drop=2"));
  EXPECT_EQ(dropped.status, 1);
  char expected[160];
  std::snprintf(expected, sizeof expected,
                "veltrane-cli: Programming: Programming failed\n"
                "veltrane-cli: Verify: 4 bytes differ; first at 0x0004: wrote 0x%02x, read 0xff\n",
                static_cast<unsigned char>(Read("built.bin")[4]));
  EXPECT_TRUE(dropped.output.ends_with(expected)) << dropped.output;
  EXPECT_EQ(dropped.output.find("nirvex: Done"), std::string::npos);

  std::filesystem::remove(dir.File("kb.sim"));
  const Result unverified = Cli("program Board.DAT --no-verify", Device(",drop=2"));
  EXPECT_EQ(unverified.status, 0) << unverified.output;
  EXPECT_EQ(unverified.output.find("Verify:"), std::string::npos);
  EXPECT_EQ(Cli("program Board.DAT --verify --no-verify", Device()).status, 2);
  EXPECT_EQ(Cli("program Board.DAT --changed-only --no-verify", Device()).status, 2);
}

TEST_F(CliKeyboardTest, ChangedOnlySendsTheDifferenceAndVerifiesIt) {
  WriteConfig("Board.DAT", 40);
  WriteConfig("Other.DAT", 41);
  const Result first = Cli("program Board.DAT --changed-only", Device(",product=V0412X"));
  EXPECT_EQ(first.status, 0) << first.output;
  // The erased keyboard already holds the image's 0xff words: the line counts the others.
  ASSERT_EQ(Cli("build Board.DAT --version-text V0412X --bin built.bin").status, 0);
  const std::string built = Read("built.bin");
  int differing = 0;
  for (std::size_t word = 0; word < 3072; word += 4)
    differing += built.compare(word, 4, "\xff\xff\xff\xff") != 0;
  EXPECT_EQ(differing, 450);
  EXPECT_NE(first.output.find("veltrane-cli: " + std::to_string(differing) +
                              " of 768 words differed: a full download\n"
                              "veltrane-cli: Sent 768 of 768 words\n"
                              "veltrane-cli: Verify: Verified 3072 bytes\n"),
            std::string::npos)
      << first.output;

  std::filesystem::remove(dir.File("trace.txt"));
  const Result same = Cli("program Board.DAT --changed-only --verify", Device(",product=V0412X"));
  EXPECT_EQ(same.status, 0) << same.output;
  EXPECT_NE(same.output.find("veltrane-cli: Sent 0 of 768 words\n"
                             "veltrane-cli: Verify: Verified 3072 bytes\n"),
            std::string::npos)
      << same.output;
  EXPECT_EQ(TraceLines().size(), 2u * 768u + 3u);  // reads and the three notes: no write

  const Result other =
      Cli("--log vtlog.txt program Other.DAT --changed-only", Device(",product=V0412X"));
  EXPECT_EQ(other.status, 0) << other.output;
  const std::string log = Read("vtlog.txt");
  unsigned sent = 0;
  ASSERT_EQ(std::sscanf(log.substr(log.find("Sent ")).c_str(), "Sent %u of 768 words", &sent), 1);
  EXPECT_GT(sent, 0u);
  EXPECT_LT(sent, 40u);
  EXPECT_NE(other.output.find("Verify: Verified 3072 bytes"), std::string::npos);
}

TEST_F(CliKeyboardTest, ChangedOnlyFaultsFailAsAFullDownloadDoes) {
  WriteConfig("Board.DAT", 40);
  WriteConfig("Other.DAT", 80);
  ASSERT_EQ(Cli("program Board.DAT", Device()).status, 0);
  const Result dropped = Cli("program Other.DAT --changed-only", Device(",drop=1"));
  EXPECT_EQ(dropped.status, 1);
  EXPECT_NE(dropped.output.find("differ; first at 0x"), std::string::npos) << dropped.output;
  EXPECT_EQ(dropped.output.find("nirvex: Done"), std::string::npos);

  ASSERT_EQ(Cli("program Board.DAT", Device()).status, 0);
  const Result refused = Cli("program Other.DAT --changed-only", Device(",refuse=770"));
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.output.find("veltrane-cli: nirvex: Setfeature returned: 5 Input/output error\n"
                                "veltrane-cli: Sent 1 of 768 words\n"
                                "veltrane-cli: Programming: Programming failed\n"
                                "veltrane-cli: Verify: "),
            std::string::npos)
      << refused.output;
  EXPECT_NE(refused.output.find("differ; first at 0x"), std::string::npos);
}

TEST_F(CliKeyboardTest, TextFromTheKeyboardReachesTheTerminalEscaped) {
  const Result detected = Cli("detect", Device(",product=V0527X\x1b"
                                               "[31mRed"));
  EXPECT_EQ(detected.status, 0);
  EXPECT_NE(detected.output.find("Version text: V0527X\\x1b[31mRed\n"), std::string::npos);
  const Result refused = Cli("matrix on", Device(",product=V0527\x1b"
                                                 "[2J"));
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.output.find("The keyboard \"V0527\\x1b[2J\" has no matrix switch"),
            std::string::npos);
  EXPECT_EQ(detected.output.find('\x1b'), std::string::npos);
  EXPECT_EQ(refused.output.find('\x1b'), std::string::npos);
}

TEST_F(CliKeyboardTest, DiagnosticsStayOffStdoutAndTellThePermissionOnce) {
  EXPECT_EQ(CliStdout("detect", Device()).output,
            "Version text: V0527X Simulated keyboard\nFirmware version: 527\n");
  EXPECT_EQ(CliStdout("detect", Device(",open=denied")).output,
            "Version text: Not found\nFirmware version: 0\n");
  WriteConfig("Board.DAT", 4);
  for (const char* command : {"detect", "program Board.DAT", "read -o back.DAT"}) {
    const std::string output = Cli(command, Device(",open=denied")).output;
    const std::size_t at = output.find("sudo ./dev udev");
    EXPECT_NE(at, std::string::npos) << command;
    EXPECT_EQ(output.find("sudo ./dev udev", at + 1), std::string::npos) << output;
  }
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
  EXPECT_EQ(TraceLines(),
            (std::vector<std::string>{"set 00 00 ff 00 00 00 b1", "set 00 00 ff 00 00 00 c2"}));
  const Result refused = Cli("matrix on", Device(",product=V0527"));
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.output.find("has no matrix switch"), std::string::npos);
  EXPECT_EQ(TraceLines().size(), 2u);
  EXPECT_EQ(Cli("matrix sideways", Device()).status, 2);
}

}  // namespace
}  // namespace veltrane

namespace veltrane {
namespace {

TEST_F(CliKeyboardTest, NoCommandReplacesItsOwnInputWithAnotherKindOfFile) {
  WriteConfig("keys.BIN", 3);  // its default image name is the file itself
  WriteConfig("x.DAT", 3);
  WriteBytes("g.BIN", std::vector<std::uint8_t>(8192, 0xFF));
  const std::string keys = Read("keys.BIN");
  const std::string image = Read("g.BIN");
  for (const char* command :
       {"build keys.BIN", "build x.DAT --bin x.DAT", "build x.DAT --txt ./x.DAT",
        "decode g.BIN -o g.BIN", "report x.DAT -o x.DAT"}) {
    const Result result = Cli(command);
    EXPECT_EQ(result.status, 1) << command;
    EXPECT_NE(result.output.find("Output file: "), std::string::npos) << result.output;
  }
  EXPECT_EQ(Read("keys.BIN"), keys);
  EXPECT_EQ(Read("g.BIN"), image);
  EXPECT_FALSE(
      std::filesystem::exists(dir.File("keys.TXT")));  // refused before anything is written
  EXPECT_EQ(Cli("convert x.DAT x.DAT").status, 0);     // converting in place stays allowed

  ASSERT_EQ(Cli("program x.DAT", Device()).status, 0);
  EXPECT_EQ(Cli("read -o same.DAT --copy same.DAT", Device()).status, 1);
  EXPECT_FALSE(std::filesystem::exists(dir.File("same.DAT")));
}

}  // namespace
}  // namespace veltrane
