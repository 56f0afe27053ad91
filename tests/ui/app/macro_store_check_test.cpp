// SPDX-License-Identifier: MIT
// Macros that do not fit the packed store: told at load, refused before any
// file, image or download, never cut.
#include "ui/app/macro_store_check.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "model/key_tables.h"
#include "persist/config_file.h"
#include "persist/definition_text.h"
#include "support/recording_messages.h"
#include "support/temp_dir.h"
#include "tests/ui/app/fake_link.h"
#include "ui/app/file_commands.h"
#include "ui/app/image_commands.h"
#include "ui/app/keyboard_commands.h"
#include "ui/app/text_commands.h"

namespace veltrane::ui {
namespace {

constexpr const char* kOverflow =
    "The macros need 202 entries; the keyboard's macro store holds 192. These would lose "
    "strokes: macro 6 (row 3, column 5, fn1 and row 7, column 0, base): 10 of its 40 strokes.";

// Every question before a file is replaced answered Yes.
bool Yes(const std::string&) {
  return true;
}

class MacroStoreCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartApplication(app);
    app.doc.dataDirectory = dir.path() + "/";
  }
  void Macro(int n, int strokes) {
    model::StringRow& row = app.doc.def.stringWorkBuffer[static_cast<std::size_t>(n)];
    for (int k = 0; k < strokes; ++k) row[static_cast<std::size_t>(k)] = {0x02, 0x04, 0x1C, 0};
    row[static_cast<std::size_t>(strokes)] = model::StringChar{};
  }
  model::KeyLayer& Layer(int row, int column, int layer) {
    return app.doc.def.keys[static_cast<std::size_t>(model::KeyIndex(row, column))]
        .layers[static_cast<std::size_t>(layer)];
  }
  // 75 strokes in macros 0..3, then three of 40: the last loses 10.
  void Overfill() {
    for (int n = 0; n < 4; ++n) Macro(n, n == 3 ? 18 : 19);
    for (int n = 4; n < 7; ++n) Macro(n, 40);
    for (model::KeyLayer* layer : {&Layer(3, 5, 1), &Layer(7, 0, 0)}) {
      *layer = {1, {}, 6, 0, model::STRING_KEY};
      layer->stringcharcount = 40;
    }
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      names.push_back(entry.path().filename().string());
    return names;
  }

  testing::TempDir dir;
  testing::RecordingMessages messages;
  NullLog log;
  Services io{messages, log};
  FakeLink link;
  AppState app;
};

TEST_F(MacroStoreCheckTest, SaveGenerateAndProgramRefuseMacrosThatDoNotFitAndWriteNothing) {
  Overfill();
  bool asked = false;
  const Outcome saved = SaveSettings(
      app, io,
      [&](const AcceptName&) {
        asked = true;
        return std::string("cut");
      },
      Yes);
  EXPECT_EQ(saved.result, Result::MacrosDoNotFit);
  EXPECT_FALSE(asked);  // refused before the name is asked
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            std::string(kOverflow) +
                " Nothing was written: shorten or free a macro until it fits. Export as text "
                "keeps every stroke.");
  EXPECT_EQ(messages.shown[0].caption, "Macro store");
  EXPECT_EQ(messages.shown[0].icon, model::MessageIcon::Error);

  app.doc.options.writeBinFile = app.doc.options.writeTxtFile = true;
  SetVersionText(app, "V0527");
  EXPECT_EQ(GenerateImageFiles(app, io).result, Result::MacrosDoNotFit);
  EXPECT_EQ(ProgramKeyboard(app, io, link).result, Result::MacrosDoNotFit);
  EXPECT_TRUE(link.transfers.empty());
  EXPECT_TRUE(Files().empty());  // no configuration file, no image file
  EXPECT_EQ(messages.shown.back().caption, "Macro store");
  // Nothing was packed: the store holds no cut macro.
  EXPECT_TRUE(app.doc.def.stringStore[0].IsTerminator());

  // Export as text keeps every stroke.
  ASSERT_TRUE(ExportText(
                  app, io, [&](const AcceptName&) { return dir.File("all"); }, Yes)
                  .ok());
  persist::HeaderImage header;
  model::KeyboardDefinition back;
  model::InitialiseDefinition(back);
  ASSERT_TRUE(persist::ReadDefinitionTextFile(dir.File("all.json"), back, header).ok)
      << messages.shown.back().text;
  EXPECT_EQ(model::StringLength(back.stringWorkBuffer[6]), 40);
}

TEST_F(MacroStoreCheckTest, OnceItFitsTheSaveKeepsEveryStrokeAndTheCountsAgree) {
  Overfill();
  Macro(6, 30);  // shortened by the user
  Layer(9, 1, 2) = {1, {}, 5, 0, model::STRING_KEY};
  Layer(9, 1, 2).stringcharcount = 79;  // left by a save that cut the macro
  ASSERT_TRUE(SaveSettings(
                  app, io, [&](const AcceptName&) { return dir.File("fits"); }, Yes)
                  .ok());
  StartApplication(app);
  ASSERT_TRUE(LoadSettingsFile(app, io, dir.File("fits.DAT")));
  EXPECT_EQ(model::StringLength(app.doc.def.stringWorkBuffer[6]), 30);
  EXPECT_EQ(Layer(3, 5, 1).stringcharcount, 30);
  EXPECT_EQ(Layer(9, 1, 2).stringcharcount, 40);
  EXPECT_EQ(messages.shown.back().text, "Loaded configuration file !");
}

TEST_F(MacroStoreCheckTest, ALoadTellsOfMacrosThatDoNotFit) {
  Overfill();
  ASSERT_TRUE(ExportText(
                  app, io, [&](const AcceptName&) { return dir.File("desk"); }, Yes)
                  .ok());
  messages.shown.clear();
  StartApplication(app);
  ASSERT_TRUE(ImportText(app, io, dir.File("desk.json"))) << messages.shown.back().text;
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0].text, "Loaded configuration file !");
  EXPECT_EQ(messages.shown[1].text,
            dir.File("desk.json") + ": " + kOverflow +
                " Save, Generate and Program refuse it until it fits: shorten or free a macro. "
                "Export as text keeps every stroke.");
  EXPECT_EQ(messages.shown[1].caption, "Macro store");
  EXPECT_EQ(model::StringLength(app.doc.def.stringWorkBuffer[6]), 40);
  EXPECT_FALSE(HasUnsavedChanges(app));

  // A configuration file whose store runs to its last entry without an end mark.
  StartApplication(app);
  Macro(127, 64);
  model::FlattenStrings(app.doc.def);
  app.doc.def.stringStore[191] = {0x02, 0x04, 0x1C, 0};
  ASSERT_TRUE(persist::WriteConfigFile(dir.File("damaged.DAT"), app.doc.def, app.doc.header));
  messages.shown.clear();
  ASSERT_TRUE(LoadSettingsFile(app, io, dir.File("damaged.DAT")));
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_NE(messages.shown[1].text.find("damaged.DAT: The macros need 193 entries"),
            std::string::npos);
  EXPECT_NE(messages.shown[1].text.find("macro 127 (no key): 1 of its 65 strokes."),
            std::string::npos);
}

}  // namespace
}  // namespace veltrane::ui
