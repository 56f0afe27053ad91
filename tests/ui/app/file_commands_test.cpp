// SPDX-License-Identifier: MIT
#include "ui/app/file_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/recording_messages.h"
#include "support/setting_places.h"
#include "support/temp_dir.h"
#include "ui/app/macro_store_check.h"

namespace veltrane::ui {
namespace {

TEST(BaseNameFromChosen, KeepsTheTypedDotsAndCutsOnlyATrailingDat) {
  EXPECT_EQ(BaseNameFromChosen("desk-v1.1"), "desk-v1.1");
  EXPECT_EQ(BaseNameFromChosen("layout.old.cfg"), "layout.old.cfg");
  EXPECT_EQ(BaseNameFromChosen("Keys.old.dat"), "Keys.old");
  EXPECT_EQ(BaseNameFromChosen("Keys.DaT"), "Keys");
  EXPECT_EQ(BaseNameFromChosen("x.dat.dat"), "x.dat");
  EXPECT_EQ(BaseNameFromChosen("pad"), "pad");
  EXPECT_EQ(BaseNameFromChosen(".hidden"), ".hidden");
  EXPECT_EQ(BaseNameFromChosen("a."), "a.");
  EXPECT_EQ(BaseNameFromChosen(".dat"), ".dat");  // nothing would be left
  EXPECT_EQ(BaseNameFromChosen(""), "");
  // Only the file name counts, not the directories.
  EXPECT_EQ(BaseNameFromChosen("dir.with.dot/deep"), "dir.with.dot/deep");
  EXPECT_EQ(BaseNameFromChosen("/a.b/c.d.e"), "/a.b/c.d.e");
  EXPECT_EQ(BaseNameFromChosen("d.dat/.dat"), "d.dat/.dat");
  EXPECT_EQ(CutExtension("desk.v2.JSON", ".json"), "desk.v2");
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
  app.doc.def.settings.SerialNumber = "SN-0042";
  app.doc.def.stringWorkBuffer[3][0] = model::StringChar{0, 0x04, 0x1C, 0};
  app.doc.def.stringWorkBuffer[3][1] = model::StringChar{};
  model::SetFieldText(app.doc.def.keys[5].legend, "Esc");
  ASSERT_TRUE(PackStringsThatFit(app).ok());
  const std::string path = dir.File("Board.DAT");
  app.doc.def.settings.ConfigFileName = "Board.DAT";
  ASSERT_TRUE(WriteConfiguration(app, io, path));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Saved configuration file !");
  EXPECT_EQ(messages.shown[0].caption, "Save");
  EXPECT_EQ(app.doc.header.Text(veltrane::testing::HeaderAt("ConfigFileName")), "Board.DAT");

  Restart();
  EXPECT_TRUE(LoadConfiguration(app, io, path).ok());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Loaded configuration file !");
  EXPECT_EQ(messages.shown[0].caption, "Load");
  EXPECT_EQ(app.doc.baseName, "Board");
  EXPECT_EQ(app.doc.dataDirectory, std::filesystem::canonical(dir.path()).string() + "/");
  EXPECT_EQ(app.doc.chosenFileName, "Board.DAT");
  EXPECT_EQ(app.doc.def.settings.ConfigFileName, "Board.DAT");
  EXPECT_EQ(app.doc.def.settings.SerialNumber, "SN-0042");
  EXPECT_EQ(app.doc.def.settings.DebounceTime, 28u);
  EXPECT_EQ(model::FieldText(app.doc.def.keys[5].legend), "Esc");
  EXPECT_EQ(model::StringLength(app.doc.def.stringWorkBuffer[3]), 1);
  EXPECT_EQ(app.doc.def.stringWorkBuffer[3][0].characterUSB, 0x04);
  EXPECT_EQ(DefaultReportPath(app), app.doc.dataDirectory + "Saved.txt");
}

TEST_F(FileCommandsTest, FailedLoadTellsWhyAndChangesNothing) {
  // The user's own work: a key, a setting and the fields.
  model::AssignTableKey(app.doc.def.keys[9].layers[1], 31);
  app.doc.def.keys[9].layers[1].used = 1;
  app.doc.def.settings.GlobalRepeatDisable = 1;
  app.doc.def.settings.SerialNumber = "SN-1";
  app.doc.def.settings.ConfigFileName = app.doc.chosenFileName = "mine.DAT";
  app.doc.baseName = "mine";
  const persist::HeaderImage header = app.doc.header;
  std::string foreign(20628, '\0');
  foreign[4] = 3;  // major version 3
  std::ofstream(dir.File("short.DAT"), std::ios::binary) << std::string(20000, '\0');
  std::ofstream(dir.File("old.DAT"), std::ios::binary) << foreign;
  for (const char* name : {"missing.dat", "short.DAT", "old.DAT"}) {
    messages.shown.clear();
    EXPECT_FALSE(LoadConfiguration(app, io, dir.File(name)).ok());
    EXPECT_EQ(messages.shown.size(), 1u) << name;  // the reader's own message
    EXPECT_TRUE(app.doc.def.keys[9].layers[1].used == 1 && app.doc.def.keys[9].used == 1) << name;
    EXPECT_EQ(app.doc.def.settings.GlobalRepeatDisable, 1) << name;
    EXPECT_EQ(app.doc.def.settings.EnableBits, 1) << name;
    EXPECT_EQ(app.doc.def.settings.SerialNumber + app.doc.def.settings.ConfigFileName,
              "SN-1mine.DAT")
        << name;
    EXPECT_EQ(app.doc.baseName + app.doc.chosenFileName, "minemine.DAT") << name;
    EXPECT_EQ(app.doc.header.bytes, header.bytes) << name;
  }
}

TEST_F(FileCommandsTest, NameWithoutAnExtensionIsItsOwnBaseName) {
  ASSERT_TRUE(WriteConfiguration(app, io, dir.File("ab")));
  ASSERT_TRUE(LoadSettingsFile(app, io, dir.File("ab")));
  EXPECT_EQ(app.doc.baseName, "ab");
}

TEST_F(FileCommandsTest, SaveGoesOverAFileWhoseExtensionDiffersOnlyInCase) {
  const std::string base = dir.File("a");
  EXPECT_EQ(ConfigurationPathFor(base), base + ".DAT");  // nothing there yet
  for (const char* variant : {".dat", ".Dat"}) std::ofstream(base + variant) << "x";
  EXPECT_EQ(ConfigurationPathFor(base), base + ".Dat");  // the first of several, by name
  std::ofstream(base + ".DAT") << "x";
  EXPECT_EQ(ConfigurationPathFor(base), base + ".DAT");
}

TEST_F(FileCommandsTest, UnwritableTargetShowsNoSuccess) {
  EXPECT_FALSE(WriteConfiguration(app, io, dir.File("no/such/dir/x.DAT")));
  EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace veltrane::ui
