// SPDX-License-Identifier: MIT
// "Export as text…" and "Import text…": the text carries the definition and
// the shown settings back; a refused text changes nothing.
#include "ui/app/text_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "eeprom/image_builder.h"
#include "support/files.h"
#include "support/recording_messages.h"
#include "support/temp_dir.h"
#include "ui/app/image_commands.h"

namespace veltrane::ui {
namespace {

class TextCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    StartApplication(app);
  }
  void TearDown() override { std::filesystem::current_path(home); }
  bool Export(const std::string& name) {
    return ExportText(
               app, io,
               [&](const AcceptName& accept) { return accept(name) ? name : std::string(); },
               [&](const std::string& question) {
                 asked.push_back(question);
                 return replace;
               })
        .ok();
  }
  std::vector<std::string> Boxes() {
    std::vector<std::string> boxes;
    for (const auto& m : messages.shown) boxes.push_back(m.caption + "|" + m.text);
    messages.shown.clear();
    return boxes;
  }
  eeprom::EepromImage Image() {
    eeprom::EepromImage image{};
    model::FlattenStrings(app.doc.def);
    eeprom::BuildImage(app.doc.def, "V0527X", 527, image, nullptr);
    return image;
  }

  std::filesystem::path home;
  testing::TempDir dir;
  testing::RecordingMessages messages;
  NullLog log;
  Services io{messages, log};
  AppState app;
  std::vector<std::string> asked;  // the questions before a file is replaced
  bool replace = true;             // the answer to them
};

TEST_F(TextCommandsTest, AnExportImportedAgainIsTheSameDefinitionAsLoaded) {
  model::KeyLayer& layer = app.doc.def.keys[9].layers[1];
  model::AssignTableKey(layer, 31);
  layer.used = 1;
  app.doc.def.stringWorkBuffer[3][0] = model::StringChar{0, 0x04, 0x1C, 0};
  app.doc.def.settings.DebounceTime = 12;
  app.doc.def.settings.SerialNumber = "SN-42";
  app.doc.def.settings.ConfigFileName = "Desk.DAT";
  app.doc.def.settings.DefRepRate = 3;
  const eeprom::EepromImage before = Image();

  EXPECT_TRUE(Export("texts.v2"));  // a typed name keeps its dots
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Save|Saved configuration file !"});
  EXPECT_EQ(app.doc.baseName, "EEPkey");  // the export is a copy: the document keeps its names
  EXPECT_TRUE(HasUnsavedChanges(app));

  StartApplication(app);
  EXPECT_TRUE(ImportText(app, io, "texts.v2.json"));
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Load|Loaded configuration file !"});
  EXPECT_EQ(Image(), before);  // keys, strings, settings, fields and serial number
  EXPECT_EQ(app.doc.def.settings.ConfigFileName, "Desk.DAT");  // the configuration's own name
  EXPECT_EQ(app.doc.baseName, "texts.v2");
  EXPECT_EQ(app.doc.dataDirectory, dir.path() + "/");
  EXPECT_FALSE(HasUnsavedChanges(app));
}

TEST_F(TextCommandsTest, ACancelledOrFailedExportWritesNothing) {
  EXPECT_EQ(TextPathFor("dir.v1/desk"), "dir.v1/desk.json");
  EXPECT_FALSE(Export(""));
  EXPECT_FALSE(Export("nodir/x"));
  EXPECT_EQ(Boxes(), std::vector<std::string>{
                         "Save File|Cannot open: nodir/x.json: No such file or directory"});
}

TEST_F(TextCommandsTest, ExportAsksBeforeReplacingTheFileItWouldWrite) {
  EXPECT_EQ(TextPathFor("desk.JSON"), "desk.json");
  ASSERT_TRUE(Export("desk-v1.1"));
  EXPECT_TRUE(asked.empty());
  const std::string first = testing::ReadFileText(dir.File("desk-v1.1.json"));
  app.doc.def.settings.SerialNumber = "SN-2";
  replace = false;
  EXPECT_FALSE(Export("desk-v1.1.json"));
  EXPECT_EQ(asked, std::vector<std::string>{"desk-v1.1.json already exists. Replace it?"});
  EXPECT_EQ(testing::ReadFileText(dir.File("desk-v1.1.json")), first);
  replace = true;
  EXPECT_TRUE(Export("desk-v1.1"));
  EXPECT_NE(testing::ReadFileText(dir.File("desk-v1.1.json")), first);
}

TEST_F(TextCommandsTest, ARefusedTextChangesNothing) {
  ASSERT_TRUE(Export("good"));
  std::string text = testing::ReadFileText(dir.File("good.json"));
  std::ofstream(dir.File("bad.json"))
      << text.replace(text.find("\"DebounceTime\": 28"), 18, "\"DebounceTime\": 300");
  app.doc.def.settings.ConfigFileName = "mine.DAT";
  app.doc.baseName = "mine";
  app.doc.def.keys[0].enabled = 0;
  const model::KeyboardDefinition before = app.doc.def;
  Boxes();
  for (const char* path : {"bad.json", "missing.json"}) EXPECT_FALSE(ImportText(app, io, path));
  const std::vector<std::string> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_TRUE(boxes[0].starts_with("Import text|bad.json: .settings.DebounceTime: 300"))
      << boxes[0];
  EXPECT_TRUE(boxes[1].starts_with("Import text|missing.json")) << boxes[1];
  EXPECT_TRUE(SameDefinition(before, app.doc.def));
  EXPECT_EQ(app.doc.def.settings.ConfigFileName, "mine.DAT");
  EXPECT_EQ(app.doc.baseName, "mine");
  EXPECT_TRUE(HasUnsavedChanges(app));
}

}  // namespace
}  // namespace veltrane::ui
