// SPDX-License-Identifier: MIT
#include "persist/text_report.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/persist/persist_test_util.h"
#include "tests/support/recording_messages.h"
#include "tests/support/temp_dir.h"

namespace veltrane::persist {
namespace {

using namespace veltrane::persist::testing;
using veltrane::testing::RecordingMessages;
using veltrane::testing::TempDir;
namespace fs = std::filesystem;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Compares with a file under tests/data/persist; with VELTRANE_UPDATE_GOLDEN=1
// the file is rewritten from the text instead.
void ExpectMatchesGolden(const std::string& text, const std::string& name) {
  const fs::path path = fs::path(VELTRANE_TEST_DATA) / "persist" / name;
  const char* update = std::getenv("VELTRANE_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
    return;
  }
  ASSERT_TRUE(fs::exists(path)) << path << " is missing; run with VELTRANE_UPDATE_GOLDEN=1";
  const std::vector<std::uint8_t> golden = ReadBytes(path);
  EXPECT_EQ(text, std::string(golden.begin(), golden.end())) << "differs from " << path;
}

// The varied definition with the cases the key lines have to cope with.
model::KeyboardDefinition ReportDefinition() {
  model::KeyboardDefinition def = WithVariedShown(VariedDefinition());
  def.keys[6].layers[1].keytype = 0x3F;
  def.keys[7].layers[0].keytype = model::LOCAL_ILLUMINATION_KEY | model::KEYTYPE_LIGHT_DOWN;
  def.keys[7].layers[1].keytype = 23 | model::KEYTYPE_LIGHT_UP;
  def.keys[7].layers[2].keytype = 0xFF;
  def.keys[7].layers[3].ibmkey = -12345;
  std::fill(def.keys[8].legend.begin(), def.keys[8].legend.end(), 'W');
  def.keys[9].layers[0].scan2code = 0x0E;
  def.keys[9].layers[0].scan3code = 0xAB;
  def.keys[9].layers[0].usbcode = 0x00;
  return def;
}

model::KeyboardDefinition FreshAsSaved() {
  model::KeyboardDefinition def = FreshDefinition();
  model::FlattenStrings(def);  // a save builds the image, and so the index, first
  return def;
}

TEST(TextReportGolden, FreshDefinition) {
  ExpectMatchesGolden(FormatTextReport(FreshAsSaved()), "report_fresh.txt");
}

TEST(TextReportGolden, VariedDefinition) {
  ExpectMatchesGolden(FormatTextReport(ReportDefinition()), "report_varied.txt");
}

TEST(TextReport, SectionsAndLineCounts) {
  const std::vector<std::string> lines = Lines(FormatTextReport(FreshAsSaved()));
  ASSERT_EQ(lines.size(), 18u + 2 + 3 + 640 + 2 + 16 + 2 + 2 + 192);
  EXPECT_EQ(lines[0], "[Header]");
  EXPECT_EQ(lines[1], "Version = 5.0");
  EXPECT_EQ(lines[17], "ScrollWheelGain = 1");
  EXPECT_EQ(lines[18], "");
  EXPECT_EQ(lines[19], "");
  EXPECT_EQ(lines[20], "[Key]");
  EXPECT_EQ(lines[21], "# row , column = legend , used , enabled , complete , logical address");
  EXPECT_EQ(lines[22],
            "#\t[fn2,fn1] used , ibmkey , keymode , keytype , scan2code , scan3code , usbcode , "
            "stringcharcount");
  EXPECT_EQ(lines[23 + 640], "");
  EXPECT_EQ(lines[23 + 641], "");
  EXPECT_EQ(lines[23 + 642], "[StringIndex]");
  EXPECT_EQ(lines[23 + 643 + 16], "");
  EXPECT_EQ(lines[23 + 643 + 17], "[StringChar]");
  EXPECT_EQ(lines[23 + 643 + 18], "# modifier ,  characterUSB , characterMode2 , characterType");
  EXPECT_EQ(lines.back(), "3068   0   0   0   0 ");
}

TEST(TextReport, SettingsComeFromTheRecord) {
  model::KeyboardDefinition def = FreshAsSaved();
  def.settings.EnableBits = 3;
  def.settings.BeepLength = 200;
  def.settings.ScrollWheelGain = -128;
  def.settings.Leds[3] = 5;
  def.settings.DefRepDelay = -1;
  def.settings.DefRepRate = 31;
  def.settings.DebounceTime = 0;
  def.settings.MaxScanRow = 16;
  def.settings.PointDevice = 2;
  const std::vector<std::string> lines = Lines(FormatTextReport(def));
  const std::vector<std::string> expected = {"[Header]",
                                             "Version = 5.0",
                                             "GlobalRepeatDisable = 0",
                                             "AnyKeyRelease = 0",
                                             "DefRepDelay = -1",
                                             "DefRepRate = 31",
                                             "DebounceTime = 0",
                                             "Led1 = 0",
                                             "Led2 = 0",
                                             "Led3 = 0",
                                             "Led4 = 5",
                                             "MaxScanRow = 16",
                                             "PrefixMakeBreak = 0",
                                             "PointDevice = 2",
                                             "EnableBits = 3",
                                             "NumberOfStrings = 0",
                                             "BeepLength = 200",
                                             "ScrollWheelGain = -128"};
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 18), expected);
}

TEST(TextReport, DebounceTimeIsPrintedAsASignedNumber) {
  model::KeyboardDefinition def = FreshAsSaved();
  def.settings.DebounceTime = 3000000000u;
  EXPECT_NE(FormatTextReport(def).find("\nDebounceTime = -1294967296\n"), std::string::npos);
}

TEST(TextReport, FreshFirstKeyAndItsLayers) {
  const std::vector<std::string> lines = Lines(FormatTextReport(FreshAsSaved()));
  EXPECT_EQ(lines[23], "  0 , 0 = Nothing , 1 , 1 , 0 ,   0");
  const std::string unused = std::string(35 - 10, ' ') + "UNUSED_KEY";
  EXPECT_EQ(lines[24], "\t[0,0]  0  0  0 " + unused + "  0  0  0 0");
  EXPECT_EQ(lines[25], "\t[0,1]  0  0  0 " + unused + "  0  0  0 0");
  EXPECT_EQ(lines[26], "\t[1,0]  0  0  0 " + unused + "  0  0  0 0");
  EXPECT_EQ(lines[27], "\t[1,1]  0  0  0 " + unused + "  0  0  0 0");
  EXPECT_EQ(lines[28], "  0 , 1 = Nothing , 1 , 1 , 0 ,   0");
  EXPECT_EQ(lines[23 + 5 * 127], " 15 , 7 = Nothing , 1 , 1 , 0 ,   0");
}

TEST(TextReport, KeyLinePutsUsedBeforeEnabled) {
  model::KeyboardDefinition def = FreshAsSaved();
  model::KeyDefinition& key = def.keys[static_cast<std::size_t>(model::KeyIndex(10, 3))];
  key.used = 0;
  key.enabled = 1;
  key.complete = 1;
  key.logicalAddress = 7;
  model::SetFieldText(key.legend, "Esc");
  const std::vector<std::string> lines = Lines(FormatTextReport(def));
  EXPECT_EQ(lines[23 + 5 * model::KeyIndex(10, 3)], " 10 , 3 = Esc , 0 , 1 , 1 ,   7");
}

TEST(TextReport, CodesAreLowerCaseHexPaddedWithSpaces) {
  const model::KeyboardDefinition def = ReportDefinition();
  const std::vector<std::string> lines = Lines(FormatTextReport(def));
  const std::string& line = lines[23 + 5 * 9 + 1];
  const model::KeyLayer& layer = def.keys[9].layers[0];
  EXPECT_EQ(line,
            model::FormatText("\t[0,0] %2d %2d %2d %35s  e ab  0 %d", layer.used, layer.ibmkey,
                              layer.keymode, "NORMAL_KEY", layer.stringcharcount));
  EXPECT_EQ(model::KeyTypeIdentifierOf(layer.keytype), "NORMAL_KEY");
}

TEST(TextReport, KeyTypeColumnNamesTheLowSixBits) {
  const std::vector<std::string> lines = Lines(FormatTextReport(ReportDefinition()));
  auto typeColumn = [&](int key, int layer) {
    const std::string& line = lines[static_cast<std::size_t>(23 + 5 * key + 1 + layer)];
    return line.substr(16, 35);
  };
  auto right = [](std::string_view name) {
    return std::string(35 - name.size(), ' ') + std::string(name);
  };
  EXPECT_EQ(typeColumn(6, 1), right("undefined"));
  EXPECT_EQ(typeColumn(7, 0), right("LOCAL_ILLUMINATION_KEY"));
  EXPECT_EQ(typeColumn(7, 1), right("undefined"));
  EXPECT_EQ(typeColumn(7, 2), right("undefined"));
  EXPECT_EQ(typeColumn(3, 0), right("NORMAL_KEY"));  // with the light-up flag
  EXPECT_EQ(typeColumn(0, 0), right("STRING_KEY"));
}

TEST(TextReport, LegendWithoutTerminatorStopsAtTheFieldEnd) {
  const model::KeyboardDefinition def = ReportDefinition();
  const std::vector<std::string> lines = Lines(FormatTextReport(def));
  EXPECT_EQ(lines[23 + 5 * 8],
            model::FormatText("  1 , 0 = %s , %d , %d , %d , %3d", std::string(32, 'W').c_str(),
                              def.keys[8].used, def.keys[8].enabled, def.keys[8].complete,
                              def.keys[8].logicalAddress));
}

TEST(TextReport, StringIndexLinesOfEight) {
  const std::string text = FormatTextReport(FreshAsSaved());
  EXPECT_NE(text.find("\n\n[StringIndex]\n 2304 2308 2312 2316 2320 2324 2328 2332\n 2336 "),
            std::string::npos);
  EXPECT_NE(text.find(" 2804 2808 2812\n\n[StringChar]\n"), std::string::npos)
      << "the last index line has no line end of its own";
}

TEST(TextReport, StringCharLines) {
  model::KeyboardDefinition def = FreshAsSaved();
  def.stringStore[1] = {0x02, 0x04, 0x1C, 0x00};
  def.stringStore[191] = {255, 255, 255, 255};
  const std::string text = FormatTextReport(def);
  EXPECT_NE(text.find("characterType\n2304   0   0   0   0 \n2308   2   4  28   0 \n"),
            std::string::npos);
  EXPECT_TRUE(text.ends_with("\n3068 255 255 255 255 \n"));
}

TEST(TextReport, UnflattenedIndexPrintsAsHeld) {
  const std::string text = FormatTextReport(FreshDefinition());
  EXPECT_NE(text.find("[StringIndex]\n 0 0 0 0 0 0 0 0\n"), std::string::npos);
}

TEST(TextReportFile, WritesTheFormattedTextWithLineFeeds) {
  TempDir dir;
  const model::KeyboardDefinition def = ReportDefinition();
  ASSERT_TRUE(WriteTextReport(dir.File("Saved.txt"), def));
  const std::vector<std::uint8_t> bytes = ReadBytes(dir.File("Saved.txt"));
  const std::string expected = FormatTextReport(def);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
  EXPECT_EQ(expected.find('\r'), std::string::npos);
  // A second report replaces the first.
  ASSERT_TRUE(WriteTextReport(dir.File("Saved.txt"), FreshAsSaved()));
  EXPECT_EQ(fs::file_size(dir.File("Saved.txt")), FormatTextReport(FreshAsSaved()).size());
}

TEST(TextReportFile, FailureReturnsFalseAndKeepsWhatWasThere) {
  TempDir dir;
  fs::create_directory(dir.File("Saved.txt"));
  EXPECT_FALSE(WriteTextReport(dir.File("Saved.txt"), FreshAsSaved()));
  EXPECT_TRUE(fs::is_directory(dir.File("Saved.txt")));
  EXPECT_FALSE(WriteTextReport(dir.File("nowhere/Saved.txt"), FreshAsSaved()));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator{}), 1);
}

TEST(TextReportFile, ReadOnlyDirectoryKeepsTheOldReport) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop the superuser";
  TempDir dir;
  WriteBytes(dir.File("Saved.txt"), {'o', 'l', 'd'});
  fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_FALSE(WriteTextReport(dir.File("Saved.txt"), FreshAsSaved()));
  fs::permissions(dir.path(), fs::perms::owner_all);
  EXPECT_EQ(ReadBytes(dir.File("Saved.txt")), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
}

}  // namespace
}  // namespace veltrane::persist
