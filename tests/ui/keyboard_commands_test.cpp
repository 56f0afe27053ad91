#include "ui/keyboard_commands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "support/recording_messages.h"
#include "support/temp_dir.h"
#include "ui/fake_link.h"
#include "ui/file_commands.h"
#include "ui/image_commands.h"

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
  EXPECT_EQ(ProgramKeyboard(app, io, link), TransferOutcome::NoKeyboard);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Download|Plug in the keyboard to program !",
                                               "ReadFirmwareVersion|No Keyboard Found!"}));
  EXPECT_TRUE(link.transfers.empty());
  EXPECT_EQ(link.detections, 2);  // its own detection, then the presence check's
}

TEST_F(KeyboardCommandsTest, ProgramDownloadsTheFirst3072BytesWithProgress) {
  model::AssignTableKey(app.doc.def.keys[0].layers[0], 1);
  app.doc.def.keys[0].layers[0].used = 1;
  EXPECT_EQ(ProgramKeyboard(app, io, link), TransferOutcome::Done);
  ASSERT_EQ(link.transfers.size(), 1u);
  EXPECT_EQ(link.transfers[0].address, 0u);
  EXPECT_EQ(link.transfers[0].count, 3072u);
  EXPECT_EQ(link.transfers[0].data[0], 0x0E);
  EXPECT_EQ(app.window.progress.maximum, 100);
  EXPECT_EQ(app.window.progress.position, 100);
}

TEST_F(KeyboardCommandsTest, RefusedDownloadReportsProgrammingFailed) {
  link.programResult = 0;
  EXPECT_EQ(ProgramKeyboard(app, io, link), TransferOutcome::Failed);
  EXPECT_EQ(Texts().back(), "Programming|Programming failed");
}

TEST_F(KeyboardCommandsTest, FailedReadDecodesNothing) {
  link.readResult = 0;
  link.keyboard[0x200] = 0;  // would map key 0 layer 0
  app.doc.def.keys[0].used = 0;
  EXPECT_EQ(ReadKeyboard(app, io, link), TransferOutcome::Failed);
  for (const std::string& text : Texts())
    EXPECT_EQ(text.find("Keyboard read !"), std::string::npos);
  EXPECT_EQ(app.doc.def.keys[0].used, 1);  // cleared before the read
  EXPECT_EQ(app.doc.def.keys[0].layers[0].used, 0);
}

TEST_F(KeyboardCommandsTest, ReadDecodesAndCopiesWhenAsked) {
  app.doc.options.copyEepromBin = true;
  link.keyboard[0x200] = 0;
  link.keyboard[0x500] = 0;
  link.keyboard[0x700] = 0x04;
  EXPECT_EQ(ReadKeyboard(app, io, link), TransferOutcome::Done);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"|Plug in the keyboard to read !",
                                               "Reading|Keyboard read !"}));
  EXPECT_EQ(app.doc.def.keys[0].layers[0].used, 1);
  EXPECT_EQ(app.doc.def.keys[0].layers[0].ibmkey, 31);
  EXPECT_EQ(std::filesystem::file_size(dir.File("EeProm.bin")), 8192u);
}

TEST_F(KeyboardCommandsTest, ReadWithoutKeyboardStillClearsTheKeys) {
  link.version = "Error 1";
  app.doc.def.keys[4].used = 0;
  EXPECT_EQ(ReadKeyboard(app, io, link), TransferOutcome::NoKeyboard);
  EXPECT_EQ(app.doc.def.keys[4].used, 1);
  EXPECT_EQ(Texts().back(), "ReadFirmwareVersion|No Keyboard Found!");
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
  EXPECT_FALSE(app.window.matrix.checked);

  link.version = "V0527";
  DetectionStep(app, link);
  EnableMatrix(app, io, link);
  EXPECT_EQ(link.transfers.back().data[3], 0xC2);
  EXPECT_FALSE(app.window.matrix.checked);
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
  app.window.fileName.text = "Board.DAT";
  ASSERT_TRUE(WriteConfiguration(app, io, dir.File("Board.DAT")));
  messages.shown.clear();
  StartApplication(app, dir.File("Board.DAT"));
  CheckKeyboardPresence(app, io, link);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Load|Loaded configuration file !"}));
  EXPECT_EQ(app.doc.baseName, "Board");
  EXPECT_EQ(app.window.fileName.text, "Board.DAT");
  EXPECT_EQ(app.doc.dataDirectory, std::filesystem::canonical(dir.path()).string() + "/");
  CheckKeyboardPresence(app, io, link);
  EXPECT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(app.doc.firmwareVersion, 527);
}

}  // namespace
}  // namespace veltrane::ui
