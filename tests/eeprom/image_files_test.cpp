// SPDX-License-Identifier: MIT
#include "eeprom/image_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "eeprom/image_builder.h"
#include "eeprom/text_dump.h"
#include "eeprom_test_support.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace veltrane::eeprom {
namespace {

namespace fs = std::filesystem;

using veltrane::testing::ReadFileText;

// Compares the dump with a golden file, or rewrites the golden when asked to.
void ExpectGoldenDump(const EepromImage& image, const std::string& name) {
  const std::string path = std::string(VELTRANE_TEST_DATA) + "/eeprom/" + name;
  const std::string dump = FormatTextDump(image);
  const char* update = std::getenv("VELTRANE_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    ASSERT_TRUE(WriteTxtFile(path, image));
    return;
  }
  EXPECT_EQ(dump, ReadFileText(path)) << path;
}

TEST(TextDumpGoldenTest, EmptyDefinitionWithoutKeyboard) {
  auto def = test::StartUpDefinition();
  EepromImage image{};
  model::FlattenStrings(*def);
  BuildImage(*def, "", 0, image, nullptr);
  ExpectGoldenDump(image, "empty_definition.TXT");
}

TEST(TextDumpGoldenTest, SmallDefinitionForFirmware600) {
  auto def = test::StartUpDefinition();
  test::UseTableKey(*def, 0, 0, 0, 31, model::KEYMODE_SHIFT | model::KEYMODE_ALTGR);
  test::UseTableKey(*def, 3, 4, 1, 130);
  test::UseString(*def, 15, 7, 3, 2);
  test::SetString(*def, 2, 5);
  def->settings.Leds[0] = 3;
  def->settings.SerialNumber = "SN-0042";
  EepromImage image{};
  model::FlattenStrings(*def);
  BuildImage(*def, "V0600", 600, image, nullptr);
  ExpectGoldenDump(image, "small_definition_fw600.TXT");
}

TEST(TextDumpTest, LayoutHoldsForAnyImage) {
  std::mt19937 random(7);
  EepromImage image;
  for (std::uint8_t& b : image) b = static_cast<std::uint8_t>(random());
  image[0x800] = 0x34;
  image[0x801] = 0x12;
  const std::string dump = FormatTextDump(image);
  ASSERT_EQ(dump.size(), kTextDumpSize);
  EXPECT_EQ(dump.compare(0, 28, "Scan Set2 code table\r\n0000  "), 0);
  const std::size_t pointers = dump.find("StringPointers\r\n0800  1234, ");
  EXPECT_NE(pointers, std::string::npos);
  EXPECT_EQ(dump.substr(dump.size() - 4), "\r\n\r\n");
}

class ImageFilesTest : public ::testing::Test {
 protected:
  ImageFilesTest() {
    for (std::size_t i = 0; i < kImageSize; ++i) image[i] = static_cast<std::uint8_t>(i * 7);
  }
  veltrane::testing::TempDir temp;
  const std::string dir = temp.path() + "/";
  EepromImage image;
};

TEST_F(ImageFilesTest, NothingAskedWritesNothing) {
  const ImageFiles files = WriteImageFiles(image, false, false, dir, "EEPkey");
  EXPECT_TRUE(files.bin && files.txt);
  EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(ImageFilesTest, BothFilesReplaceEarlierOnes) {
  std::ofstream(dir + "EEPkey.BIN") << std::string(10000, 'x');
  const ImageFiles files = WriteImageFiles(image, true, true, dir, "EEPkey");
  EXPECT_TRUE(files.bin && files.txt);
  EXPECT_EQ(files.binPath, dir + "EEPkey.BIN");
  const std::string bin = ReadFileText(dir + "EEPkey.BIN");
  EXPECT_TRUE(std::equal(bin.begin(), bin.end(), image.begin(), image.end(),
                         [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; }));
  EXPECT_EQ(ReadFileText(dir + "EEPkey.TXT"), FormatTextDump(image));
}

TEST_F(ImageFilesTest, EachUnwritableFileHasItsOwnReason) {
  const std::string missing = dir + "missing/";
  const ImageFiles files = WriteImageFiles(image, true, true, missing, "Board");
  EXPECT_EQ(files.bin.reason, missing + "Board.BIN: No such file or directory");
  EXPECT_EQ(files.txt.reason, missing + "Board.TXT: No such file or directory");
}

TEST_F(ImageFilesTest, FailedReplaceIsReportedAndLeavesNoPartialFile) {
  fs::create_directory(dir + "Board.BIN");  // cannot be replaced by a file
  std::ofstream(dir + "Board.BIN/keep") << "x";
  const ImageFiles files = WriteImageFiles(image, true, true, dir, "Board");
  EXPECT_EQ(files.bin.reason, dir + "Board.BIN is a directory, not a regular file");
  EXPECT_TRUE(files.txt);
  int entries = 0;
  for (const auto& entry : fs::directory_iterator(dir)) entries += entry.exists();
  EXPECT_EQ(entries, 2);  // the directory and the text dump, no temporary file
  EXPECT_EQ(fs::file_size(dir + "Board.TXT"), kTextDumpSize);
}

TEST_F(ImageFilesTest, ReadBackCopyIsTheWholeBuffer) {
  EXPECT_TRUE(WriteReadBackCopy(image, dir));
  EXPECT_EQ(fs::file_size(dir + "EeProm.bin"), kImageSize);
  const fileaccess::Status failed = WriteReadBackCopy(image, dir + "missing/");
  EXPECT_FALSE(failed);
  EXPECT_EQ(failed.reason, dir + "missing/EeProm.bin: No such file or directory");
}

}  // namespace
}  // namespace veltrane::eeprom
