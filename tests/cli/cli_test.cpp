// SPDX-License-Identifier: MIT
// veltrane-cli end to end: each case runs the program in a fresh directory.
#include "cli/cli_fixture.h"
#include "support/recording_messages.h"
#include "support/setting_places.h"

namespace veltrane {
namespace {

TEST_F(CliTest, UsageErrorsExitWithTwo) {
  EXPECT_EQ(Cli("").status, 2);
  EXPECT_EQ(Cli("frobnicate").status, 2);
  EXPECT_EQ(Cli("report").status, 2);
  EXPECT_EQ(Cli("report a.dat b.dat").status, 2);
  EXPECT_EQ(Cli("report a.dat --bogus").status, 2);
  EXPECT_EQ(Cli("report a.dat -o").status, 2);
  EXPECT_EQ(Cli("convert a.dat").status, 2);
  EXPECT_EQ(Cli("build a.dat --txt=").status, 2);
  EXPECT_EQ(Cli("build a.dat --txt ''").status, 2);
  EXPECT_EQ(Cli("build a.dat --bin x --bin y").status, 2);
  EXPECT_EQ(Cli("program a.dat --verify=yes").status, 2);
  EXPECT_EQ(Cli("build -x.DAT").status, 2);  // an option, not a file
  const Result help = Cli("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("report CONFIG.DAT"), std::string::npos);
  EXPECT_EQ(Cli("report --help").status, 0);
  EXPECT_FALSE(std::filesystem::exists(dir.File("vtlog.txt")));
}

TEST_F(CliTest, MissingFileFailsWithTheReaderMessage) {
  const Result result = Cli("report nothere.dat");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output, "veltrane-cli: Cannot open file: nothere.dat\n");
  EXPECT_FALSE(std::filesystem::exists(dir.File("Saved.txt")));
}

// Random header bytes load; each value brought into range is one line, and
// a conversion says nothing else.
TEST_F(CliTest, SettingsOutsideTheirRangesAreOneLineEach) {
  std::vector<std::uint8_t> file(20628, 0);
  file[4] = 5;
  const std::uint32_t debounce = 1266692167;
  for (int i = 0; i < 4; ++i) file[28 + i] = static_cast<std::uint8_t>(debounce >> (8 * i));
  file[56] = 14;     // MaxScanRow
  file[144] = 0xDF;  // ScrollWheelGain -33
  WriteBytes("rnd.DAT", file);
  const Result result = Cli("export rnd.DAT -o rnd.json");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.output,
            "veltrane-cli: rnd.DAT: DebounceTime 1266692167 is outside 0..255: 255 is used\n"
            "veltrane-cli: rnd.DAT: ScrollWheelGain -33 is outside 0..16: 0 is used\n");
}

TEST_F(CliTest, ConvertTurnsAnOldFileIntoACurrentOne) {
  WriteBytes("old.dat", OldestFile());
  const Result result = Cli("convert old.dat new.DAT");
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_EQ(result.output,
            "veltrane-cli: Load: Loaded configuration file !\n"
            "veltrane-cli: old.dat: MaxScanRow 0 is outside 1..16: 1 is used\n"
            "veltrane-cli: Save: Saved configuration file !\n");
  const std::string converted = Read("new.DAT");
  ASSERT_EQ(converted.size(), 20628u);
  EXPECT_EQ(converted.substr(76, 8), std::string("new.DAT\0", 8));  // file-name display
  EXPECT_EQ(converted[144], 0);  // an oldest-generation file leaves header bytes 144..147 alone
  EXPECT_EQ(converted.substr(148 + 28, 6), std::string("Space\0", 6));
  EXPECT_EQ(static_cast<unsigned char>(converted[148 + 64 + 2 * 20 + 4]), 31);
  EXPECT_FALSE(std::filesystem::exists(dir.File("vtlog.txt")));  // a log only with --log
}

// The log only where --log, before the command, puts it, taken as the shell's
// ">" takes a name: a file emptied, a terminal, /dev/null or a pipe as it is.
TEST_F(CliTest, TheGlobalLogOptionWritesTheLogThereAndNowhereElse) {
  WriteBytes("old.dat", OldestFile());
  ASSERT_EQ(Cli("--log run.txt convert old.dat new.DAT").status, 0);
  EXPECT_TRUE(Read("run.txt").starts_with("run.txt \nStarted at ")) << Read("run.txt");
  ASSERT_EQ(Cli("--log=run.txt convert old.dat new.DAT").status, 0);
  EXPECT_EQ(Read("run.txt").find("Started at "), Read("run.txt").rfind("Started at "));
  const Result null = Cli("--log /dev/null convert old.dat new.DAT");
  EXPECT_EQ(null.status, 0) << null.output;
  // Into the pipe this test reads: the log lines come with the messages, and
  // /dev/stderr stays the link it is.
  const Result piped = Cli("--log /dev/stderr convert old.dat new.DAT");
  EXPECT_EQ(piped.status, 0);
  EXPECT_NE(piped.output.find("/dev/stderr \nStarted at "), std::string::npos) << piped.output;
  EXPECT_TRUE(std::filesystem::is_symlink("/dev/stderr"));
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
  EXPECT_EQ(Cli("--log").status, 2);
  EXPECT_EQ(Cli("--log=").status, 2);
  const Result missing = Cli("--log nodir/run.txt convert old.dat new.DAT");
  EXPECT_EQ(missing.status, 0);
  EXPECT_NE(missing.output.find("veltrane-cli: no log this run: nodir/run.txt: No such file or "
                                "directory"),
            std::string::npos)
      << missing.output;
  // The station's own --log, after its command, is its record of keyboards.
  EXPECT_NE(Cli("station --help").output.find("--log FILE.csv"), std::string::npos);
}

TEST_F(CliTest, ReportGoesBesideTheLoadedFileUnlessToldOtherwise) {
  WriteBytes("old.dat", OldestFile());
  std::filesystem::create_directory(dir.File("sub"));
  ASSERT_EQ(Cli("convert old.dat sub/board.dat").status, 0);
  ASSERT_EQ(Cli("report sub/board.dat").status, 0);
  const std::string report = Read("sub/Saved.txt");
  EXPECT_EQ(report.rfind("[Header]\nVersion = 5.0\n", 0), 0u);
  EXPECT_NE(report.find(" 0 , 0 = Space , 1 , 1 , "), std::string::npos);
  ASSERT_EQ(Cli("report sub/board.dat -o here.txt").status, 0);
  EXPECT_EQ(Read("here.txt"), report);
}

TEST_F(CliTest, UnwritableOutputIsNamedWithTheReasonAndExitsWithOne) {
  WriteBytes("old.dat", OldestFile());
  WriteBytes("image.bin", std::vector<std::uint8_t>(8192, 0xFF));
  const char* const commands[][2] = {
      {"convert old.dat missing/x.DAT", "Cannot open: missing/x.DAT: No such file or directory\n"},
      {"report old.dat -o missing/r.txt",
       "Cannot open: missing/r.txt: No such file or directory\n"},
      {"decode image.bin -o missing/d.DAT",
       "Cannot open: missing/d.DAT: No such file or directory\n"},
  };
  for (const auto& [command, message] : commands) {
    const Result result = Cli(command);
    EXPECT_EQ(result.status, 1) << command;
    EXPECT_TRUE(result.output.ends_with(message)) << result.output;
  }
}

TEST_F(CliTest, BaseNameDropsOnlyADotAndThreeCharacters) {
  const char* const names[][2] = {
      {"noext", "noext"}, {"abc", "abc"}, {"x.DAT", "x"}, {"a.b.DAT", "a.b"}, {".DAT", ".DAT"}};
  for (const auto& [name, base] : names) {
    WriteConfig(name, 1);
    EXPECT_EQ(Cli(std::string("build '") + name + "'").status, 0) << name;
    EXPECT_TRUE(std::filesystem::exists(dir.File(std::string(base) + ".BIN"))) << name;
    EXPECT_TRUE(std::filesystem::exists(dir.File(std::string(base) + ".TXT"))) << name;
  }
}

TEST_F(CliTest, DoubleDashEndsTheOptions) {
  WriteConfig("-x.DAT", 1);
  const Result result = Cli("build -- -x.DAT");
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_TRUE(std::filesystem::exists(dir.File("-x.BIN")));
  EXPECT_EQ(Cli("build --txt out.txt -- -x.DAT").status, 0);
  EXPECT_TRUE(std::filesystem::exists(dir.File("out.txt")));
}

TEST_F(CliTest, BuildWritesBothImageFilesBesideTheConfiguration) {
  std::filesystem::create_directory(dir.File("kb"));
  WriteConfig("kb/Board.DAT", 10);
  const Result result = Cli("--log vtlog.txt build kb/Board.DAT --version-text V0527X");
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_EQ(std::filesystem::file_size(dir.File("kb/Board.BIN")), 8192u);
  EXPECT_EQ(std::filesystem::file_size(dir.File("kb/Board.TXT")), 11449u);
  EXPECT_EQ(Read("kb/Board.BIN").substr(0x670, 7), std::string("V0527X\0", 7));
  EXPECT_NE(Read("vtlog.txt").find("Inserting key 0,0 [0,0] at 0 -added 0 , 1 , 0 , 0 , 14 \n"),
            std::string::npos);
}

TEST_F(CliTest, EmptyVersionTextIsTheNoKeyboardDefault) {
  WriteConfig("Board.DAT", 1);
  ASSERT_EQ(Cli("build Board.DAT --bin default.bin").status, 0);
  const Result built = Cli("build Board.DAT --version-text '' --bin empty.bin");
  ASSERT_EQ(built.status, 0) << built.output;
  EXPECT_EQ(Read("empty.bin"), Read("default.bin"));
  EXPECT_EQ(Cli("build Board.DAT --version-text= --bin equals.bin").status, 0);
  EXPECT_EQ(Cli("decode empty.bin --version-text '' -o back.DAT").status, 0);
  EXPECT_EQ(Cli("decode empty.bin --version-text ''").status, 2);  // -o still required
  EXPECT_EQ(Cli("decode empty.bin -o ''").status, 2);
}

TEST_F(CliTest, BuildWritesOnlyTheFilesAskedFor) {
  WriteConfig("Board.DAT", 1);
  ASSERT_EQ(Cli("build Board.DAT --bin out.bin").status, 0);
  EXPECT_TRUE(std::filesystem::exists(dir.File("out.bin")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("Board.BIN")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("Board.TXT")));
  const Result failed = Cli("build Board.DAT --txt nodir/out.txt");
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.output.find("Cannot open: nodir/out.txt"), std::string::npos);
}

TEST_F(CliTest, BuildRefusesMoreMeaningsThanAddresses) {
  WriteConfig("Big.DAT", 256);
  const Result result = Cli("build Big.DAT");
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.output.find("EEPROM image: The definition has 256 distinct key meanings"),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.File("Big.BIN")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("Big.TXT")));
}

TEST_F(CliTest, DecodeGivesBackTheBuiltLayers) {
  WriteConfig("Board.DAT", 20);
  ASSERT_EQ(Cli("build Board.DAT --version-text V0600 --bin image.bin").status, 0);
  const Result result = Cli("decode image.bin --version-text V0600 -o back.DAT");
  ASSERT_EQ(result.status, 0) << result.output;
  EXPECT_EQ(result.output, "veltrane-cli: Save: Saved configuration file !\n");

  model::KeyboardDefinition original, decoded;
  persist::HeaderImage header;
  model::InitialiseDefinition(original);
  model::InitialiseDefinition(decoded);
  ASSERT_EQ(persist::ReadConfigFile(dir.File("Board.DAT"), original, header),
            persist::LoadOutcome::Loaded);
  ASSERT_EQ(persist::ReadConfigFile(dir.File("back.DAT"), decoded, header),
            persist::LoadOutcome::Loaded);
  EXPECT_EQ(header.Text(veltrane::testing::HeaderAt("ConfigFileName")), "back.DAT");
  for (int i = 0; i < 20; ++i) {
    const model::KeyLayer& a = original.keys[i / 4].layers[i % 4];
    const model::KeyLayer& b = decoded.keys[i / 4].layers[i % 4];
    EXPECT_EQ(b.used, 1);
    EXPECT_EQ(b.keymode, a.keymode);
    EXPECT_EQ(b.usbcode, a.usbcode);
    EXPECT_EQ(b.scan2code, a.scan2code);
  }
}

TEST_F(CliTest, DecodeRefusesAShortImage) {
  WriteBytes("short.bin", std::vector<std::uint8_t>(3071, 0xFF));
  const Result result = Cli("decode short.bin -o out.DAT");
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.output.find("short.bin holds 3071 bytes"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.File("out.DAT")));
  EXPECT_EQ(Cli("decode short.bin").status, 2);
}

TEST_F(CliTest, DecodeRefusesAFileLongerThanAnImage) {
  WriteBytes("long.bin", std::vector<std::uint8_t>(8193, 0xFF));
  WriteConfig("Board.DAT", 1);
  const char* const files[][2] = {{"long.bin", "8193"}, {"Board.DAT", "20628"}};
  for (const auto& [file, size] : files) {
    const Result result = Cli(std::string("decode ") + file + " -o out.DAT");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, std::string("veltrane-cli: Image file: ") + file + " holds " + size +
                                 " bytes; an EEPROM image holds at most 8192\n");
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("out.DAT")));
  WriteBytes("whole.bin", std::vector<std::uint8_t>(8192, 0xFF));
  EXPECT_EQ(Cli("decode whole.bin -o out.DAT").status, 0);
}

}  // namespace
}  // namespace veltrane
