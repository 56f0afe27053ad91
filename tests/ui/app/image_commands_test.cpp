// SPDX-License-Identifier: MIT
#include "ui/app/image_commands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "model/key_tables.h"
#include "persist/config_file.h"
#include "support/files.h"
#include "support/recording_messages.h"
#include "support/temp_dir.h"
#include "ui/app/file_commands.h"

namespace veltrane::ui {
namespace {

// A chooser in which `name` is typed; a name refused is followed by Cancel.
ChooseSaveName Named(std::string name) {
  return [name](const AcceptName& accept) { return name.empty() || accept(name) ? name : ""; };
}

// The user's answer to every question before a file is replaced, recorded.
struct Answers {
  bool yes = true;
  std::vector<std::string> asked;
  AskYesNo Ask() {
    return [this](const std::string& question) {
      asked.push_back(question);
      return yes;
    };
  }
};

class ImageCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartApplication(app);
    app.doc.dataDirectory = dir.path() + "/";
    home = std::filesystem::current_path();
  }
  void TearDown() override { std::filesystem::current_path(home); }
  std::filesystem::path home;
  // Gives n distinct used meanings to the matrix, one per layer in key order.
  void UseDistinctMeanings(int n) {
    for (int i = 0; i < n; ++i) {
      model::KeyLayer& layer = app.doc.def.keys[i / 4].layers[i % 4];
      model::AssignTableKey(layer, 1 + i % 58);  // rows 1..58 have codes of their own
      layer.keymode = static_cast<std::uint8_t>(i / 58);
      layer.used = 1;
    }
  }
  testing::RecordingMessages messages;
  testing::RecordingLog log;
  Services io{messages, log};
  testing::TempDir dir;
  AppState app;
  Answers answers;
};

TEST_F(ImageCommandsTest, VersionTextGivesTheFirmwareVersion) {
  SetVersionText(app, "V0527X keyboard");
  EXPECT_EQ(app.doc.firmwareVersion, 527);
  EXPECT_EQ(app.doc.versionText, "V0527X keyboard");
  SetVersionText(app, "Not found");
  EXPECT_EQ(app.doc.firmwareVersion, 0);
}

TEST_F(ImageCommandsTest, GenerateWithoutKeyboardWarnsAndStillWritesTheFiles) {
  app.doc.options.writeBinFile = true;
  app.doc.options.writeTxtFile = true;
  GenerateImageFiles(app, io);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "No Keyboard Found!");
  EXPECT_EQ(messages.shown[0].caption, "ReadFirmwareVersion");
  EXPECT_EQ(messages.shown[0].icon, model::MessageIcon::Information);
  EXPECT_EQ(std::filesystem::file_size(dir.File("EEPkey.BIN")), 8192u);
  EXPECT_EQ(std::filesystem::file_size(dir.File("EEPkey.TXT")), 11449u);
  EXPECT_NE(log.text().find("Setting up\n"), std::string::npos);
}

TEST_F(ImageCommandsTest, GenerateNeverReplacesTheLoadedConfigurationFile) {
  ASSERT_TRUE(WriteConfiguration(app, io, dir.File("keys.BIN")));
  ASSERT_TRUE(LoadSettingsFile(app, io, dir.File("keys.BIN")));
  const auto size = std::filesystem::file_size(dir.File("keys.BIN"));
  messages.shown.clear();
  app.doc.options.writeBinFile = true;
  SetVersionText(app, "V0527");
  GenerateImageFiles(app, io);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Output file");
  EXPECT_EQ(std::filesystem::file_size(dir.File("keys.BIN")), size);
  EXPECT_FALSE(std::filesystem::exists(dir.File("keys.TXT")));
}

TEST_F(ImageCommandsTest, ImageTextsComeFromTheWindowFields) {
  SetVersionText(app, "V0600 with a long product text");
  app.doc.def.settings.SerialNumber = "SERIAL";
  ASSERT_TRUE(BuildImageForUse(app, io));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&app.doc.image[0x670])), "V0600 with a lo");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&app.doc.image[0x630])), "SERIAL");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&app.doc.image[0x610])), "in.dat");
  EXPECT_EQ(app.doc.image[0x60B], 2 * 14 - 1);
}

TEST_F(ImageCommandsTest, TooManyMeaningsAreRefusedAndNoFileIsWritten) {
  UseDistinctMeanings(256);
  app.doc.options.writeBinFile = true;
  SetVersionText(app, "V0527");
  GenerateImageFiles(app, io);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "EEPROM image");
  EXPECT_NE(messages.shown[0].text.find("256 distinct key meanings"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.File("EEPkey.BIN")));

  messages.shown.clear();
  ClearKeys(app.doc.def);
  UseDistinctMeanings(255);
  EXPECT_TRUE(BuildImageForUse(app, io));
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ImageCommandsTest, SaveAppliesTheNamingRuleAndWritesTheReportWhenAsked) {
  std::filesystem::current_path(dir.path());
  app.doc.options.writeSavedTxt = true;
  app.doc.dataDirectory.clear();
  EXPECT_TRUE(SaveSettings(app, io, Named("layout.old.cfg"), answers.Ask()));
  EXPECT_EQ(app.doc.baseName, "layout.old.cfg");  // a typed name keeps its dots
  EXPECT_EQ(app.doc.def.settings.ConfigFileName, "layout.old.cfg.DAT");
  EXPECT_EQ(std::filesystem::file_size(dir.File("layout.old.cfg.DAT")), 20628u);
  EXPECT_TRUE(std::filesystem::exists(dir.File("Saved.txt")));
  ASSERT_FALSE(messages.shown.empty());
  EXPECT_EQ(messages.shown.back().text, "Saved configuration file !");
}

TEST_F(ImageCommandsTest, CancelledSaveWritesAndChangesNothing) {
  std::filesystem::current_path(dir.path());
  app.doc.options.writeSavedTxt = true;
  app.doc.options.writeBinFile = true;
  EXPECT_FALSE(SaveSettings(app, io, Named(""), answers.Ask()));
  EXPECT_EQ(app.doc.baseName, "EEPkey");
  EXPECT_EQ(app.doc.def.settings.ConfigFileName, "in.dat");
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  GenerateImageFiles(app, io);  // not the hidden ".BIN"
  EXPECT_TRUE(std::filesystem::exists(dir.File("EEPkey.BIN")));
  EXPECT_FALSE(std::filesystem::exists(dir.File(".BIN")));
}

TEST_F(ImageCommandsTest, FailedSaveIsToldAndChangesNothing) {
  std::filesystem::current_path(dir.path());
  ASSERT_EQ(::mkfifo(dir.File("fifo.DAT").c_str(), 0600), 0);
  app.doc.options.writeSavedTxt = true;
  app.doc.dataDirectory = dir.File("gone") + "/";  // the report cannot be written either
  app.doc.def.settings.ConfigFileName = "kept.DAT";
  const std::string tooLong(252, 'n');
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"nodir/x", "nodir/x.DAT: No such file or directory"},
      {"fifo", "fifo.DAT is a FIFO, not a regular file"},
      {tooLong, tooLong + ".DAT: File name too long"},
      {"sub.d/", "sub.d/: a directory, not a file name"}};
  for (const auto& [name, reason] : cases) {
    messages.shown.clear();
    EXPECT_FALSE(SaveSettings(app, io, Named(name), answers.Ask()));
    ASSERT_EQ(messages.shown.size(), 2u) << name;
    EXPECT_EQ(messages.shown[0].text, "Cannot open: " + reason);
    EXPECT_EQ(messages.shown[0].caption, "Save File");
    EXPECT_EQ(messages.shown[1].text,
              "Cannot open: " + dir.File("gone/Saved.txt") + ": No such file or directory");
    EXPECT_EQ(app.doc.def.settings.ConfigFileName, "kept.DAT");
    EXPECT_EQ(app.doc.baseName, "EEPkey");
  }
}

TEST_F(ImageCommandsTest, SaveNamesTheFileOnlyAndImagesGoBesideIt) {
  std::filesystem::current_path(dir.path());
  std::filesystem::create_directories(dir.File("dir.with.dot"));
  app.doc.options.writeBinFile = true;
  SetVersionText(app, "V0527");
  ASSERT_TRUE(SaveSettings(app, io, Named("dir.with.dot/deep"), answers.Ask()));
  EXPECT_TRUE(std::filesystem::exists(dir.File("dir.with.dot/deep.DAT")));
  EXPECT_EQ(app.doc.def.settings.ConfigFileName, "deep.DAT");
  EXPECT_EQ(app.doc.baseName, "deep");
  GenerateImageFiles(app, io);
  EXPECT_TRUE(std::filesystem::exists(dir.File("dir.with.dot/deep.BIN")));

  // A typed absolute path after a load elsewhere: the image goes beside the saved file.
  app.doc.dataDirectory = dir.File("dir.with.dot") + "/";
  std::filesystem::create_directories(dir.File("other"));
  ASSERT_TRUE(SaveSettings(app, io, Named(dir.File("other/old")), answers.Ask()));
  GenerateImageFiles(app, io);
  EXPECT_TRUE(std::filesystem::exists(dir.File("other/old.BIN")));
}

TEST_F(ImageCommandsTest, SaveAfterLoadingALowerCaseNameReplacesThatFile) {
  std::filesystem::current_path(dir.path());
  ASSERT_TRUE(WriteConfiguration(app, io, dir.File("a.dat")));
  ASSERT_TRUE(LoadSettingsFile(app, io, dir.File("a.dat")));
  app.doc.def.settings.PrefixMakeBreak = 1;
  ASSERT_TRUE(SaveSettings(app, io, Named("a.dat"), answers.Ask()));
  EXPECT_FALSE(std::filesystem::exists(dir.File("a.DAT")));
  EXPECT_EQ(app.doc.def.settings.ConfigFileName, "a.dat");
  StartApplication(app);
  ASSERT_TRUE(LoadSettingsFile(app, io, dir.File("a.dat")));
  EXPECT_EQ(app.doc.def.settings.PrefixMakeBreak, 1);
}

TEST_F(ImageCommandsTest, SaveAsksBeforeReplacingTheFileItWouldReallyWrite) {
  std::filesystem::current_path(dir.path());
  ASSERT_TRUE(WriteConfiguration(app, io, dir.File("desk-v1.DAT")));
  const std::string other = testing::ReadFileText(dir.File("desk-v1.DAT"));
  // A typed name keeps its dots: another file of a similar name is not touched, nor asked about.
  app.doc.options.writeBinFile = true;
  app.doc.def.settings.SerialNumber = "SN-1";
  ASSERT_TRUE(SaveSettings(app, io, Named("desk-v1.1"), answers.Ask()));
  EXPECT_TRUE(answers.asked.empty());
  EXPECT_EQ(testing::ReadFileText(dir.File("desk-v1.DAT")), other);
  EXPECT_EQ(app.doc.def.settings.ConfigFileName, "desk-v1.1.DAT");
  GenerateImageFiles(app, io);
  EXPECT_TRUE(std::filesystem::exists(dir.File("desk-v1.1.BIN")));

  // "No" writes nothing and changes nothing; the question names the file that would be written.
  ASSERT_TRUE(WriteConfiguration(app, io, dir.File("a.dat")));
  const std::string before = testing::ReadFileText(dir.File("a.dat"));
  app.doc.def.settings.SerialNumber = "SN-2";
  answers.yes = false;
  EXPECT_EQ(SaveSettings(app, io, Named("a.DAT"), answers.Ask()).result, Result::Cancelled);
  EXPECT_EQ(SaveSettings(app, io, Named("a"), answers.Ask()).result, Result::Cancelled);
  EXPECT_EQ(answers.asked, std::vector<std::string>(2, "a.dat already exists. Replace it?"));
  EXPECT_EQ(testing::ReadFileText(dir.File("a.dat")), before);
  EXPECT_FALSE(std::filesystem::exists(dir.File("a.DAT")));
  EXPECT_EQ(app.doc.def.settings.ConfigFileName, "desk-v1.1.DAT");
  answers.yes = true;
  EXPECT_TRUE(SaveSettings(app, io, Named("a"), answers.Ask()));
  EXPECT_NE(testing::ReadFileText(dir.File("a.dat")), before);
}

TEST_F(ImageCommandsTest, FileChangedOnDiskSinceItWasLoadedIsNamedSo) {
  std::filesystem::current_path(dir.path());
  ASSERT_TRUE(WriteConfiguration(app, io, dir.File("desk.DAT")));
  ASSERT_TRUE(LoadSettingsFile(app, io, dir.File("desk.DAT")));
  const auto save = [&] {
    answers.asked.clear();
    EXPECT_TRUE(SaveSettings(app, io, Named("desk"), answers.Ask()));
    return answers.asked.empty() ? std::string() : answers.asked[0];
  };
  const std::string unchanged = "desk.DAT already exists. Replace it?";
  const std::string changed = "desk.DAT was changed on disk since you loaded it. Replace it?";
  EXPECT_EQ(save(), unchanged);
  // Another instance saves it (a new file renamed over the name) ...
  AppState other;
  StartApplication(other);
  other.doc.def.settings.DebounceTime = 9;
  ASSERT_TRUE(WriteConfiguration(other, io, dir.File("desk.DAT")));
  EXPECT_EQ(save(), changed);
  EXPECT_EQ(save(), unchanged);  // what this run wrote is known again
  // ... or a program writes into it in place.
  std::ofstream(dir.File("desk.DAT"), std::ios::app) << "x";
  EXPECT_EQ(save(), changed);
  // The same file under another path.
  std::filesystem::create_symlink(dir.File("desk.DAT"), dir.File("link.DAT"));
  std::ofstream(dir.File("desk.DAT"), std::ios::app) << "y";
  answers.asked.clear();
  answers.yes = false;
  SaveSettings(app, io, Named("link"), answers.Ask());
  EXPECT_EQ(answers.asked, std::vector<std::string>{
                               "link.DAT was changed on disk since you loaded it. Replace it?"});
}

TEST_F(ImageCommandsTest, SaveWithTooManyMeaningsStillSavesTheFile) {
  std::filesystem::current_path(dir.path());
  UseDistinctMeanings(300);
  EXPECT_TRUE(SaveSettings(app, io, Named("big"), answers.Ask()));
  EXPECT_TRUE(std::filesystem::exists(dir.File("big.DAT")));
}

TEST_F(ImageCommandsTest, DecodedImageReachesTheWindow) {
  UseDistinctMeanings(3);
  SetVersionText(app, "V0527");
  ASSERT_TRUE(BuildImageForUse(app, io));
  model::ClearKeys(app.doc.def);
  app.doc.image[0x605] = 99;  // debounce time as the keyboard holds it
  const char serial[] = "SN-77";
  std::copy_n(serial, sizeof serial, app.doc.image.begin() + 0x630);
  app.doc.def.stringWorkBuffer[5][0] = model::StringChar{0, 0x09, 0, 0};  // not on the keyboard
  DecodeReadImage(app, io);
  EXPECT_EQ(app.doc.def.settings.SerialNumber, "SN-77");
  EXPECT_TRUE(app.doc.def.stringWorkBuffer[5][0].IsTerminator());
  EXPECT_FALSE(HasUnsavedChanges(app));
  EXPECT_EQ(app.doc.def.keys[0].layers[2].used, 1);
  EXPECT_EQ(app.doc.def.keys[0].layers[2].ibmkey, 3);
  EXPECT_EQ(app.doc.def.settings.DebounceTime, 99u);
  EXPECT_EQ(app.doc.def.settings.MaxScanRow, 14);  // 27 as firmware 527 stores it
}

}  // namespace
}  // namespace veltrane::ui
