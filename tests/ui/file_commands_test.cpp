#include "ui/file_commands.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/recording_messages.h"
#include "support/temp_dir.h"

namespace veltrane::ui {
namespace {

TEST(BaseNameFromChosen, CutsAtTheLastDotButNotTheFirstCharacter) {
  EXPECT_EQ(BaseNameFromChosen("layout.old.cfg"), "layout.old");
  EXPECT_EQ(BaseNameFromChosen("Keys.old.dat"), "Keys.old");
  EXPECT_EQ(BaseNameFromChosen("pad"), "pad");
  EXPECT_EQ(BaseNameFromChosen(".hidden"), ".hidden");
  EXPECT_EQ(BaseNameFromChosen("a."), "a");
  EXPECT_EQ(BaseNameFromChosen(""), "");
  const std::string longName = std::string(296, 'x') + ".dat";  // 300 characters: not cut
  EXPECT_EQ(BaseNameFromChosen(longName), longName);
  const std::string shorter = std::string(295, 'x') + ".dat";
  EXPECT_EQ(BaseNameFromChosen(shorter), std::string(295, 'x'));
}

TEST(FileNameOf, TakesTheLastComponent) {
  EXPECT_EQ(FileNameOf("/a/b/Board.DAT"), "Board.DAT");
  EXPECT_EQ(FileNameOf("Board.DAT"), "Board.DAT");
  EXPECT_EQ(FileNameOf("dir/"), "");
}

class FileCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override { StartApplication(app); }
  void Restart() {
    messages.shown.clear();
    StartApplication(app);
  }
  testing::RecordingMessages messages;
  NullLog log;
  Services io{messages, log};
  testing::TempDir dir;
  AppState app;
};

TEST_F(FileCommandsTest, SavedFileLoadsBackWithItsNamesAndFields) {
  app.window.serial.text = "SN-0042";
  app.doc.def.stringWorkBuffer[3][0] = model::StringChar{0, 0x04, 0x1C, 0};
  app.doc.def.stringWorkBuffer[3][1] = model::StringChar{};
  model::SetFieldText(app.doc.def.keys[5].legend, "Esc");
  PackStrings(app, io);
  const std::string path = dir.File("Board.DAT");
  app.window.fileName.text = "Board.DAT";
  ASSERT_TRUE(WriteConfiguration(app, io, path));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Saved configuration file !");
  EXPECT_EQ(messages.shown[0].caption, "Save");
  EXPECT_EQ(app.doc.header.Text(persist::header::ConfigFileName), "Board.DAT");

  Restart();
  EXPECT_EQ(LoadConfiguration(app, io, path), persist::LoadOutcome::Loaded);
  ShowLoadedFileFields(app);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Loaded configuration file !");
  EXPECT_EQ(messages.shown[0].caption, "Load");
  EXPECT_EQ(app.doc.baseName, "Board");
  EXPECT_EQ(app.doc.dataDirectory, std::filesystem::canonical(dir.path()).string() + "/");
  EXPECT_EQ(app.doc.chosenFileName, "Board.DAT");
  EXPECT_EQ(app.window.fileName.text, "Board.DAT");
  EXPECT_EQ(app.window.serial.text, "SN-0042");
  EXPECT_EQ(app.window.debounce.text, "28");
  EXPECT_EQ(model::FieldText(app.doc.def.keys[5].legend), "Esc");
  EXPECT_EQ(model::StringLength(app.doc.def.stringWorkBuffer[3]), 1);
  EXPECT_EQ(app.doc.def.stringWorkBuffer[3][0].characterUSB, 0x04);
  EXPECT_EQ(DefaultReportPath(app), app.doc.dataDirectory + "Saved.txt");
}

TEST_F(FileCommandsTest, FailedLoadStillFinishesTheLoad) {
  app.doc.def.keys[0].used = 0;
  const std::string path = dir.File("missing.dat");
  EXPECT_EQ(LoadConfiguration(app, io, path), persist::LoadOutcome::CannotOpen);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, path);
  EXPECT_EQ(messages.shown[0].caption, "Cannot open file");
  EXPECT_EQ(app.doc.def.keys[0].used, 1);  // keys are cleared before the open
  EXPECT_EQ(app.doc.baseName, "missing");
  EXPECT_EQ(app.doc.chosenFileName, "missing.dat");
}

TEST_F(FileCommandsTest, NameWithoutAnExtensionIsItsOwnBaseName) {
  LoadConfiguration(app, io, dir.File("ab"));
  EXPECT_EQ(app.doc.baseName, "ab");
}

TEST_F(FileCommandsTest, UnwritableTargetShowsNoSuccess) {
  EXPECT_FALSE(WriteConfiguration(app, io, dir.File("no/such/dir/x.DAT")));
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FileCommandsTest, StrokesThatDoNotFitAreReported) {
  for (int i = 0; i < 70; ++i)
    app.doc.def.stringWorkBuffer[127][i] = model::StringChar{0, 0x04, 0, 0};
  app.doc.def.stringWorkBuffer[127][70] = model::StringChar{};
  PackStrings(app, io);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "6 key strokes did not fit the string store and were left out");
  EXPECT_EQ(messages.shown[0].caption, "Strings");
}

}  // namespace
}  // namespace veltrane::ui
