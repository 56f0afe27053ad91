// SPDX-License-Identifier: MIT
#include "ui/app/keyboard_commands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "link/nirvex.h"
#include "support/recording_messages.h"
#include "support/temp_dir.h"
#include "tests/ui/app/fake_link.h"
#include "ui/app/file_commands.h"
#include "ui/app/image_commands.h"
#include "ui/app/nirvex_link.h"

namespace veltrane::ui {
namespace {

class KeyboardCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartApplication(app);
    app.doc.dataDirectory = dir.path() + "/";
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& m : messages.shown) texts.push_back(m.caption + "|" + m.text);
    return texts;
  }
  testing::RecordingMessages messages;
  NullLog log;
  Services io{messages, log};
  testing::TempDir dir;
  FakeLink link;
  AppState app;
};

TEST_F(KeyboardCommandsTest, ProgramWithoutKeyboardShowsTwoBoxesAndSendsNothing) {
  link.version = "Not found";
  EXPECT_EQ(ProgramKeyboard(app, io, link).result, Result::NoKeyboard);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Download|Plug in the keyboard to program !",
                                               "ReadFirmwareVersion|No Keyboard Found!"}));
  EXPECT_TRUE(link.transfers.empty());
  EXPECT_EQ(link.detections, 2);  // its own detection, then the presence check's
}

TEST_F(KeyboardCommandsTest, ProgramDownloadsTheFirst3072BytesWithProgress) {
  model::AssignTableKey(app.doc.def.keys[0].layers[0], 1);
  app.doc.def.keys[0].layers[0].used = 1;
  EXPECT_EQ(ProgramKeyboard(app, io, link).result, Result::Ok);
  ASSERT_EQ(link.transfers.size(), 2u);  // the download and its read-back
  EXPECT_EQ(link.transfers[0].address, 0u);
  EXPECT_EQ(link.transfers[0].count, 3072u);
  EXPECT_EQ(link.transfers[0].data[0], 0x0E);
  EXPECT_EQ(link.transfers[1].kind, "read");
  EXPECT_EQ(link.transfers[1].count, 3072u);
  EXPECT_EQ(app.progress.maximum, 100);
  EXPECT_EQ(app.progress.position, 100);
  // A keyboard that holds the image is told by the library's "Done" alone.
  EXPECT_EQ(Texts(), std::vector<std::string>{"Download|Plug in the keyboard to program !"});

  messages.shown.clear();
  EXPECT_EQ(ProgramKeyboard(app, io, link, {}, Verify::Told).result, Result::Ok);
  EXPECT_EQ(Texts().back(), "Verify|Verified 3072 bytes");
  link.transfers.clear();
  EXPECT_EQ(ProgramKeyboard(app, io, link, {}, Verify::Off).result, Result::Ok);
  EXPECT_EQ(link.transfers.size(), 1u);
}

TEST_F(KeyboardCommandsTest, KeyboardThatDoesNotHoldTheImageFailsTheDownload) {
  model::AssignTableKey(app.doc.def.keys[0].layers[0], 1);
  app.doc.def.keys[0].layers[0].used = 1;
  link.droppedByte = 0x500;  // the key type stays as it was: 0xff
  EXPECT_EQ(ProgramKeyboard(app, io, link).result, Result::TransferFailed);
  EXPECT_EQ(Texts(),
            (std::vector<std::string>{
                "Download|Plug in the keyboard to program !", "Programming|Programming failed",
                "Verify|1 byte differs; first at 0x0500: wrote 0x00, read 0xff"}));

  messages.shown.clear();
  link.droppedByte = -1;
  link.readResult = 0;
  EXPECT_EQ(ProgramKeyboard(app, io, link).result, Result::TransferFailed);
  EXPECT_EQ(Texts(),
            (std::vector<std::string>{
                "Download|Plug in the keyboard to program !", "Programming|Programming failed",
                "Verify|The keyboard could not be read back; nothing was verified."}));
}

TEST_F(KeyboardCommandsTest, RefusedDownloadReportsProgrammingFailed) {
  link.programResult = 0;
  link.status = LinkStatus::ReportFailed;
  EXPECT_EQ(ProgramKeyboard(app, io, link).result, Result::TransferFailed);
  EXPECT_EQ(Texts().back(), "Programming|Programming failed");
  // A complete download whose keyboard was not closed again: the library's
  // result says written, its status says why it is not.
  link.programResult = 1;
  link.status = LinkStatus::CloseFailed;
  link.transfers.clear();
  const Outcome closed = ProgramKeyboard(app, io, link);
  EXPECT_EQ(closed.result, Result::TransferFailed);
  EXPECT_EQ(closed.status, LinkStatus::CloseFailed);
  EXPECT_EQ(Texts().back(), "Programming|Programming failed");
  EXPECT_EQ(link.transfers.size(), 1u);  // nothing is read back from a keyboard left open
}

TEST_F(KeyboardCommandsTest, FailedReadLeavesTheDefinitionAndSaysWhatFailed) {
  link.keyboard[0x200] = 0;  // would map key 0 layer 0
  app.doc.def.keys[0].used = 0;
  app.doc.image[0x10] = 0x42;
  link.readResult = 0;
  for (const LinkStatus status : {LinkStatus::ReportFailed, LinkStatus::CloseFailed}) {
    link.status = status;
    EXPECT_EQ(ReadKeyboard(app, io, link).result, Result::TransferFailed);
    EXPECT_EQ(app.doc.def.keys[0].used, 0);
    EXPECT_EQ(app.doc.def.keys[0].layers[0].used, 0);
    EXPECT_EQ(app.doc.image[0x10], 0x42);  // the buffer is the last complete one
  }
  EXPECT_EQ(Texts().back(),
            "Reading|The keyboard was read completely, but it could not be "
            "closed; nothing was decoded.");
}

TEST_F(KeyboardCommandsTest, ReadDecodesAndCopiesWhenAsked) {
  app.doc.options.copyEepromBin = true;
  link.keyboard[0x200] = 0;
  link.keyboard[0x500] = 0;
  link.keyboard[0x700] = 0x04;
  // The keys read are shown at once, before "Keyboard read !" waits for its OK.
  std::vector<std::pair<std::size_t, int>> repaints;  // boxes shown, key 0 used
  const auto repaint = [&] {
    repaints.emplace_back(messages.shown.size(), app.doc.def.keys[0].layers[0].used);
  };
  EXPECT_EQ(ReadKeyboard(app, io, link, repaint).result, Result::Ok);
  EXPECT_EQ(repaints.back(), std::make_pair(std::size_t{1}, 1));
  EXPECT_EQ(Texts(), (std::vector<std::string>{"|Plug in the keyboard to read !",
                                               "Reading|Keyboard read !"}));
  EXPECT_EQ(app.doc.def.keys[0].layers[0].used, 1);
  EXPECT_EQ(app.doc.def.keys[0].layers[0].ibmkey, 31);
  EXPECT_EQ(std::filesystem::file_size(dir.File("EeProm.bin")), 8192u);
}

TEST_F(KeyboardCommandsTest, ReadWithoutKeyboardLeavesTheKeys) {
  link.version = "Error 1";
  app.doc.def.keys[4].used = 0;
  EXPECT_EQ(ReadKeyboard(app, io, link).result, Result::NoKeyboard);
  EXPECT_EQ(app.doc.def.keys[4].used, 0);
  EXPECT_EQ(Texts().back(), "ReadFirmwareVersion|No Keyboard Found!");
}

TEST_F(KeyboardCommandsTest, UnwritableReadBackCopyIsToldAndTheReadDecodes) {
  app.doc.options.copyEepromBin = true;
  app.doc.dataDirectory = dir.File("gone") + "/";
  link.keyboard[0x200] = 0;
  EXPECT_EQ(ReadKeyboard(app, io, link).result, Result::Ok);
  EXPECT_EQ(Texts().back(),
            "Reading|Cannot open: " + dir.File("gone/EeProm.bin") + ": No such file or directory");
  EXPECT_EQ(app.doc.def.keys[0].layers[0].used, 1);
}

TEST_F(KeyboardCommandsTest, MatrixSwitchFollowsTheVersionText) {
  DetectionStep(app, link);
  EnableMatrix(app, io, link);
  EnableMatrix(app, io, link);
  ASSERT_EQ(link.transfers.size(), 2u);
  EXPECT_EQ(link.transfers[0].address, 0xFF00u);
  EXPECT_EQ(link.transfers[0].count, 4u);
  EXPECT_EQ(link.transfers[0].data, (std::vector<unsigned char>{0, 0, 0, 0xB1}));
  EXPECT_EQ(link.transfers[1].data, (std::vector<unsigned char>{0, 0, 0, 0xC2}));
  EXPECT_EQ(Texts(), (std::vector<std::string>{"SetFocus|Matrix enabled"}));
  EXPECT_FALSE(app.doc.options.matrixEnabled);

  link.version = "V0527";
  DetectionStep(app, link);
  EnableMatrix(app, io, link);
  EXPECT_EQ(link.transfers.back().data[3], 0xC2);
  EXPECT_FALSE(app.doc.options.matrixEnabled);
}

TEST(SupportsMatrixSwitch, NeedsAnXFromPositionFourOn) {
  EXPECT_TRUE(SupportsMatrixSwitch("V0527X"));
  EXPECT_TRUE(SupportsMatrixSwitch("V052X"));
  EXPECT_FALSE(SupportsMatrixSwitch("V05X7"));
  EXPECT_FALSE(SupportsMatrixSwitch("VX527"));
  EXPECT_FALSE(SupportsMatrixSwitch("X0527X"));
  EXPECT_FALSE(SupportsMatrixSwitch(""));
}

TEST_F(KeyboardCommandsTest, CommandLineConfigurationLoadsOnce) {
  app.doc.def.settings.ConfigFileName = "Board.DAT";
  ASSERT_TRUE(WriteConfiguration(app, io, dir.File("Board.DAT")));
  messages.shown.clear();
  StartApplication(app, dir.File("Board.DAT"));
  CheckKeyboardPresence(app, io, link);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Load|Loaded configuration file !"}));
  EXPECT_EQ(app.doc.baseName, "Board");
  EXPECT_EQ(app.doc.def.settings.ConfigFileName, "Board.DAT");
  EXPECT_EQ(app.doc.dataDirectory, std::filesystem::canonical(dir.path()).string() + "/");
  CheckKeyboardPresence(app, io, link);
  EXPECT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(app.doc.firmwareVersion, 527);
}

TEST_F(KeyboardCommandsTest, RefusedMatrixSwitchOffLeavesTheBoxTicked) {
  DetectionStep(app, link);
  EXPECT_TRUE(EnableMatrix(app, io, link));
  link.programResult = 0;
  link.status = LinkStatus::ReportFailed;
  EXPECT_FALSE(EnableMatrix(app, io, link));
  EXPECT_TRUE(app.doc.options.matrixEnabled);  // the keyboard's matrix is still on
  EXPECT_EQ(Texts().back(),
            "Enable matrix|The keyboard did not take the switch: its matrix stays on.");
  // Taken, but the keyboard was not closed again: switched, and still a failure.
  link.programResult = 1;
  link.status = LinkStatus::CloseFailed;
  EXPECT_EQ(EnableMatrix(app, io, link).status, LinkStatus::CloseFailed);
  EXPECT_FALSE(app.doc.options.matrixEnabled);
}

// A configuration file with a key at row 0, column 0 and a serial number.
class CommandLineTest : public KeyboardCommandsTest {
 protected:
  std::string WriteBoard(const std::string& name) {
    AppState source;
    StartApplication(source);
    model::AssignTableKey(source.doc.def.keys[0].layers[0], 31);
    source.doc.def.keys[0].layers[0].used = 1;
    source.doc.def.settings.SerialNumber = "SN-5";
    EXPECT_TRUE(WriteConfiguration(source, io, dir.File(name)));
    messages.shown.clear();
    return dir.File(name);
  }
};

TEST_F(CommandLineTest, StartUpLoadIsALoadAndOneThatFailsStaysPending) {
  StartApplication(app, WriteBoard("Board.DAT"));
  EXPECT_TRUE(LoadCommandLineFile(app, io).ok());
  EXPECT_EQ(Texts(), std::vector<std::string>{"Load|Loaded configuration file !"});
  EXPECT_EQ(app.doc.def.keys[0].layers[0].ibmkey, 31);
  EXPECT_EQ(app.doc.def.settings.ConfigFileName, "Board.DAT");
  EXPECT_TRUE(app.doc.commandLineText.empty());
  EXPECT_FALSE(HasUnsavedChanges(app));
  messages.shown.clear();
  EXPECT_TRUE(LoadCommandLineFile(app, io).ok());  // nothing is left to load
  EXPECT_TRUE(messages.shown.empty());

  StartApplication(app, dir.File("Missing.DAT"));
  const Outcome missing = LoadCommandLineFile(app, io);
  EXPECT_EQ(missing.result, Result::NotLoaded);
  EXPECT_EQ(missing.path, dir.File("Missing.DAT"));
  EXPECT_EQ(app.doc.commandLineText, dir.File("Missing.DAT"));
  EXPECT_EQ(ReadKeyboard(app, io, link).result, Result::NotLoaded);
}

TEST_F(CommandLineTest, FailedLoadStopsTheCommandsThatNeedItAndStaysPending) {
  std::string truncated(100, '\0');
  truncated[4] = 5;  // version 5.0, but far too short
  std::ofstream(dir.File("BAD.DAT"), std::ios::binary) << truncated;
  StartApplication(app, dir.File("BAD.DAT"));
  EXPECT_EQ(ProgramKeyboard(app, io, link).result, Result::NotLoaded);
  EXPECT_EQ(Texts(),
            (std::vector<std::string>{
                "Download|Plug in the keyboard to program !", ".DAT file|FileLength error !",
                "Download|BAD.DAT was not loaded, so nothing was programmed."}));
  EXPECT_EQ(ReadKeyboard(app, io, link).result, Result::NotLoaded);
  EXPECT_EQ(Texts().back(), "Reading|BAD.DAT was not loaded, so the keyboard was not read.");
  EXPECT_TRUE(link.transfers.empty());
  EXPECT_EQ(app.doc.def.settings.ConfigFileName, "in.dat");
}

TEST_F(CommandLineTest, PathIsTakenFromTheStartDirectoryAndTheSerialIsShown) {
  const std::filesystem::path home = std::filesystem::current_path();
  WriteBoard("Board.DAT");
  std::filesystem::create_directory(dir.File("elsewhere"));
  std::filesystem::current_path(dir.path());
  StartApplication(app, "Board.DAT");
  std::filesystem::current_path(dir.File("elsewhere"));  // as the Load File dialog may
  EXPECT_EQ(ProgramKeyboard(app, io, link).result, Result::Ok);
  std::filesystem::current_path(home);
  EXPECT_EQ(app.doc.def.settings.SerialNumber, "SN-5");
  EXPECT_EQ(app.doc.image[0x630], 'S');
  EXPECT_EQ(app.doc.def.keys[0].layers[0].ibmkey, 31);
}

TEST_F(CommandLineTest, PendingFileNeverReplacesTheUsersOwnDefinition) {
  const std::string board = WriteBoard("Board.DAT");
  // Edited first: the file is dropped and what the window shows is programmed.
  StartApplication(app, board);
  app.doc.def.settings.AnyKeyRelease = 1;
  EXPECT_EQ(ProgramKeyboard(app, io, link).result, Result::Ok);
  EXPECT_EQ(app.doc.def.keys[0].layers[0].used, 0);
  EXPECT_EQ(app.doc.def.settings.AnyKeyRelease, 1);
  // Loaded or saved first: the same.
  for (const auto& first : std::vector<std::function<void()>>{
           [&] { LoadSettingsFile(app, io, WriteBoard("Other.DAT")); },
           [&] {
             SaveSettings(
                 app, io, [&](const AcceptName&) { return dir.File("Mine"); },
                 [](const std::string&) { return true; });
           }}) {
    StartApplication(app, board);
    first();
    CheckKeyboardPresence(app, io, link);
    EXPECT_NE(app.doc.def.settings.ConfigFileName, "Board.DAT");
  }
}

// Every status the library gives keeps its meaning: a verify that found other
// bytes is no failed report, and a keyboard another program holds is neither.
TEST(LinkStatusOf, EachLibraryStatusIsTheSameStatus) {
  EXPECT_EQ(LinkStatusOf(NIRVEX_OK), LinkStatus::Ok);
  EXPECT_EQ(LinkStatusOf(NIRVEX_NO_KEYBOARD), LinkStatus::NoKeyboard);
  EXPECT_EQ(LinkStatusOf(NIRVEX_VERIFY_FAILED), LinkStatus::VerifyFailed);
  EXPECT_EQ(LinkStatusOf(NIRVEX_BUSY), LinkStatus::Busy);
  EXPECT_EQ(LinkStatusOf(NIRVEX_BUSY + 1), LinkStatus::ReportFailed);
  EXPECT_EQ(LinkStatusOf(-1), LinkStatus::ReportFailed);
}

}  // namespace
}  // namespace veltrane::ui
