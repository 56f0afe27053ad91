// SPDX-License-Identifier: MIT
// "Export picture…": the typed name's format, what the user is told, and
// nothing written on a cancel or a name that is no file.
#include "ui/app/picture_commands.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/files.h"
#include "support/recording_messages.h"
#include "support/temp_dir.h"
#include "ui/app/unsaved_changes.h"

namespace veltrane::ui {
namespace {

class PictureCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override { StartApplication(app); }
  Outcome Export(const std::string& name) {
    return ExportPicture(
        app, io, [&](const AcceptName& accept) { return name.empty() || accept(name) ? name : ""; },
        [&](const std::string& question) {
          questions.push_back(question);
          return replace;
        });
  }
  std::vector<std::string> Boxes() {
    std::vector<std::string> boxes;
    for (const auto& m : messages.shown) boxes.push_back(m.caption + "|" + m.text);
    messages.shown.clear();
    return boxes;
  }

  std::vector<std::string> questions;  // asked before a file is replaced
  bool replace = false;
  testing::TempDir dir;
  testing::RecordingMessages messages;
  NullLog log;
  Services io{messages, log};
  AppState app;
};

TEST_F(PictureCommandsTest, TheTypedNameKeepsAPictureExtensionAndGetsSvgOtherwise) {
  EXPECT_EQ(PicturePathFor("/d/keys.PDF"), "/d/keys.PDF");
  EXPECT_EQ(PicturePathFor("/d/keys"), "/d/keys.svg");
  EXPECT_EQ(PicturePathFor("/d/keys.DAT"), "/d/keys.DAT.svg");  // never over a configuration
}

TEST_F(PictureCommandsTest, ACancelledOrFailedExportWritesNothing) {
  EXPECT_EQ(Export("").result, Result::Cancelled);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Export(dir.File("none/keys.svg")).result, Result::NotWritten);
  const std::vector<std::string> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(boxes[0].starts_with("Save File|Cannot open: " + dir.File("none/keys.svg")));
  EXPECT_EQ(Export(dir.path() + "/").result, Result::NotWritten);  // a directory, not a name
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(PictureCommandsTest, AnExistingFileIsReplacedOnlyAfterAYes) {
  std::ofstream(dir.File("keys.svg")) << "mine";
  EXPECT_EQ(Export(dir.File("keys")).result, Result::Cancelled);  // No: the chooser stays open
  EXPECT_EQ(questions, std::vector<std::string>{"keys.svg already exists. Replace it?"});
  EXPECT_EQ(testing::ReadFileText(dir.File("keys.svg")), "mine");
  replace = true;
  app.doc.def.settings.ConfigFileName = "desk.DAT";
  EXPECT_TRUE(Export(dir.File("keys")).ok());
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Export picture|Saved picture keys.svg"});
  EXPECT_TRUE(testing::ReadFileText(dir.File("keys.svg")).starts_with("<?xml"));
  EXPECT_FALSE(HasUnsavedChanges(app));  // the document is as it was
}

}  // namespace
}  // namespace veltrane::ui
