// SPDX-License-Identifier: MIT
#include "ui/app/load.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <limits>

#include "model/text_field.h"
#include "persist/config_file.h"
#include "persist/definition_text.h"
#include "persist/header_settings.h"
#include "support/recording_messages.h"
#include "support/temp_dir.h"
#include "ui/app/file_commands.h"
#include "ui/app/image_commands.h"
#include "ui/app/text_commands.h"

namespace veltrane::ui {
namespace {

using model::MessageIcon;

class LoadTest : public ::testing::Test {
 protected:
  void SetUp() override { StartApplication(app); }

  // A saved definition with one legend, as bytes to change before loading.
  std::vector<std::uint8_t> SavedFile() {
    model::KeyboardDefinition def;
    model::InitialiseDefinition(def);
    model::SetFieldText(def.keys[0].legend, "Esc");
    persist::HeaderImage header;
    const auto file = persist::EncodeConfigFile(def, header);
    return {file.begin(), file.end()};
  }
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(dir.File(name), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return dir.File(name);
  }
  static void Put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::int64_t value) {
    for (int i = 0; i < 4; ++i)
      bytes[at + i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i));
  }

  testing::RecordingMessages messages;
  NullLog log;
  Services io{messages, log};
  testing::TempDir dir;
  AppState app;
};

// A failed load says why in the words and captions users know, and leaves the document alone.
TEST_F(LoadTest, AFileThatIsNotLoadedIsToldAndChangesNothing) {
  std::vector<std::uint8_t> v3 = SavedFile(), m3 = SavedFile(), shorter = SavedFile();
  Put32(v3, 4, 3);
  Put32(m3, 0, 3);
  shorter.resize(20000);
  model::KeyboardDefinition def;
  model::InitialiseDefinition(def);
  const std::string text = persist::ExportDefinitionText(def, persist::HeaderImage{});
  ASSERT_EQ(::mkfifo(dir.File("fifo.DAT").c_str(), 0644), 0);
  const struct {
    std::string path, text, caption;
  } cases[] = {
      {dir.File("absent.DAT"), dir.File("absent.DAT"), "Cannot open file"},
      {dir.File("fifo.DAT"), dir.File("fifo.DAT") + " is a FIFO, not a regular file",
       "Cannot open file"},
      {Write("v3.DAT", v3), "Incompatible .DAT file !", ".DAT file"},
      {Write("m3.DAT", m3),
       dir.File("m3.DAT") +
           " has version 5.3; this program reads minor versions 0 to 2 of version 4 and later",
       "Configuration file"},
      {Write("short.DAT", shorter), "FileLength error !", ".DAT file"},
      {Write("desk.json", {text.begin(), text.end()}),
       dir.File("desk.json") + " is a definition text, not a configuration file: import it as text",
       "Configuration file"},
  };
  model::SetFieldText(app.doc.def.keys[3].legend, "Mine");
  app.doc.baseName = "kept";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    messages.shown.clear();
    EXPECT_FALSE(LoadConfiguration(app, io, c.path).ok());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, c.text);
    EXPECT_EQ(messages.shown[0].caption, c.caption);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::None);
    EXPECT_EQ(model::FieldText(app.doc.def.keys[3].legend), "Mine");
    EXPECT_EQ(app.doc.baseName, "kept");
  }
}

// Every number a header can hold outside its setting's range: the file loads,
// one line names the value and what is used, and the document holds that.
TEST_F(LoadTest, EachHeaderSettingOutsideItsRangeLoadsAndIsTold) {
  for (const model::SettingEntry& e : model::SettingsSchema()) {
    if (e.IsText() || e.headerForm == model::HeaderForm::None) continue;
    const std::int64_t most = e.headerForm == model::HeaderForm::I8        ? 127
                              : e.headerForm == model::HeaderForm::LowByte ? 255
                              : e.headerForm == model::HeaderForm::I32
                                  ? std::numeric_limits<std::int32_t>::max()
                                  : std::numeric_limits<std::uint32_t>::max();
    const std::int64_t least = e.headerForm == model::HeaderForm::I8    ? -128
                               : e.headerForm == model::HeaderForm::I32 ? -0x80000000LL
                                                                        : 0;
    for (const std::int64_t value : {e.max + 1, e.min - 1}) {
      if (value > most || value < least) continue;
      SCOPED_TRACE(std::string(e.name) + " " + std::to_string(value));
      std::vector<std::uint8_t> file = SavedFile();
      if (e.headerForm == model::HeaderForm::I8)
        file[e.headerOffset] = static_cast<std::uint8_t>(value);
      else
        Put32(file, e.headerOffset, value);
      messages.shown.clear();
      ASSERT_TRUE(LoadConfiguration(app, io, Write("out.DAT", file)).ok());
      ASSERT_EQ(messages.shown.size(), 2u);
      EXPECT_EQ(messages.shown[0].text, "Loaded configuration file !");
      const std::int64_t used = e.Clamped(value);
      EXPECT_EQ(messages.shown[1].text, std::string(e.name) + " " + std::to_string(value) +
                                            " is outside " + std::to_string(e.min) + ".." +
                                            std::to_string(e.max) + ": " + std::to_string(used) +
                                            " is used");
      EXPECT_EQ(messages.shown[1].caption, "out.DAT");
      EXPECT_EQ(messages.shown[1].icon, MessageIcon::Warning);
      EXPECT_EQ(e.get(app.doc.def.settings), used);
    }
  }
}

TEST_F(LoadTest, RandomHeaderBytesAreAllToldInOneBox) {
  std::vector<std::uint8_t> file = SavedFile();
  Put32(file, model::SettingNamed("DebounceTime").headerOffset, 1266692167);
  Put32(file, model::SettingNamed("ScrollWheelGain").headerOffset, -33);
  const char serial[] = "SN\n1";
  std::copy_n(serial, sizeof serial,
              file.begin() + model::SettingNamed("SerialNumber").headerOffset);
  ASSERT_TRUE(LoadConfiguration(app, io, Write("random.DAT", file)).ok());
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[1].text,
            "DebounceTime 1266692167 is outside 0..255: 255 is used\n"
            "ScrollWheelGain -33 is outside 0..16: 0 is used\n"
            "SerialNumber \"SN\\x0a1\" holds control characters: \"SN1\" is used");
  EXPECT_EQ(app.doc.def.settings.DebounceTime, 255u);
  EXPECT_EQ(app.doc.def.settings.SerialNumber, "SN1");
}

// The names and the string buffer follow the same rules for a file, a text and standard input.
TEST_F(LoadTest, AFileOrTextBecomesTheDocumentWithTheSameNameRules) {
  const std::string path = Write("Board.v2.DAT", SavedFile());
  ASSERT_TRUE(LoadConfiguration(app, io, path).ok());
  EXPECT_EQ(app.doc.baseName, "Board.v2");
  EXPECT_EQ(app.doc.def.settings.ConfigFileName, "Board.v2.DAT");
  EXPECT_EQ(app.doc.dataDirectory + "Board.v2.DAT", path);
  EXPECT_EQ(app.doc.chosenFileName, "Board.v2.DAT");

  persist::ToHeader(app.doc.def.settings, app.doc.header);
  ASSERT_TRUE(persist::WriteDefinitionTextFile(dir.File("Desk.JSON"), app.doc.def, app.doc.header));
  StartApplication(app);
  ASSERT_TRUE(ImportText(app, io, dir.File("Desk.JSON")).ok());
  EXPECT_EQ(app.doc.baseName, "Desk");
  EXPECT_EQ(app.doc.def.settings.ConfigFileName, "Board.v2.DAT");  // the text's own
  EXPECT_EQ(model::FieldText(app.doc.def.keys[0].legend), "Esc");

  const std::vector<std::uint8_t> bytes = SavedFile();
  const std::string directory = app.doc.dataDirectory;
  ASSERT_TRUE(Load(app, io, {LoadKind::ConfigFile, "standard input", &bytes}).ok());
  EXPECT_EQ(app.doc.dataDirectory, directory);
  EXPECT_EQ(app.doc.loadedFile, "");  // no file on disk is this document's
}

// A conversion reads the definition only: the document keeps its names, and
// the file keeps the file-name text it holds.
TEST_F(LoadTest, AConversionTellsOnlyWhatWentWrong) {
  std::vector<std::uint8_t> file = SavedFile();
  const char stored[] = "in.dat";
  std::copy_n(stored, sizeof stored,
              file.begin() + model::SettingNamed("ConfigFileName").headerOffset);
  app.doc.baseName = "kept";
  LoadSource source{LoadKind::ConfigFile, Write("renamed.DAT", file)};
  source.conversion = true;
  ASSERT_TRUE(Load(app, io, source).ok());
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(app.doc.def.settings.ConfigFileName, "in.dat");
  EXPECT_EQ(app.doc.baseName, "kept");
}

TEST_F(LoadTest, AnImageFileOfTheWrongSizeIsToldByItsSize) {
  const std::string shorter = Write("short.BIN", std::vector<std::uint8_t>(100, 0));
  EXPECT_FALSE(LoadImageFile(app, io, shorter).ok());
  const std::string longer = Write("long.BIN", std::vector<std::uint8_t>(8193, 0));
  EXPECT_FALSE(LoadImageFile(app, io, longer).ok());
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0].text,
            shorter + " holds 100 bytes; an image read back from a keyboard has at least 3072");
  EXPECT_EQ(messages.shown[1].text,
            longer + " holds 8193 bytes; an EEPROM image holds at most 8192");
  EXPECT_EQ(messages.shown[1].caption, "Image file");
}

}  // namespace
}  // namespace veltrane::ui
