// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <numeric>

#include "persist/config_file.h"
#include "persist/header_settings.h"
#include "persist/text_report.h"
#include "support/setting_places.h"
#include "tests/persist/config_file_expect.h"
#include "tests/persist/persist_test_util.h"
#include "tests/support/temp_dir.h"

namespace veltrane::persist {
namespace {

using namespace veltrane::persist::testing;
using veltrane::testing::TempDir;
namespace fs = std::filesystem;

// ---- Writing ----

TEST(ConfigFileWrite, FileIsCurrentSizeAndEndsWithZeroTrailer) {
  TempDir dir;
  const model::KeyboardDefinition def = WithVariedShown(VariedDefinition());
  HeaderImage header = PatternedHeader();
  ASSERT_TRUE(WriteConfigFile(dir.File("out.DAT"), def, header));
  const std::vector<std::uint8_t> file = ReadBytes(dir.File("out.DAT"));
  ASSERT_EQ(file.size(), 20628u);
  EXPECT_TRUE(std::all_of(file.end() - 1024, file.end(), [](std::uint8_t b) { return b == 0; }));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator{}), 1);
}

TEST(ConfigFileWrite, FieldsLieAtTheirOffsets) {
  const model::KeyboardDefinition def = WithVariedShown(VariedDefinition());
  HeaderImage header;
  const auto file = EncodeConfigFile(def, header);
  const std::vector<std::uint8_t> bytes(file.begin(), file.end());
  auto u32 = [&](std::size_t o) {
    return static_cast<std::uint32_t>(bytes[o] | bytes[o + 1] << 8 | bytes[o + 2] << 16 |
                                      static_cast<std::uint32_t>(bytes[o + 3]) << 24);
  };
  EXPECT_EQ(u32(0), 0u);
  EXPECT_EQ(u32(4), 5u);
  EXPECT_EQ(u32(12), 1u);   // GlobalRepeatDisable
  EXPECT_EQ(u32(16), 1u);   // AnyKeyRelease
  EXPECT_EQ(u32(20), 3u);   // DefRepDelay
  EXPECT_EQ(u32(24), 31u);  // DefRepRate
  EXPECT_EQ(u32(28), 255u);
  EXPECT_EQ(u32(32), 1u);
  EXPECT_EQ(u32(36), 2u);
  EXPECT_EQ(u32(40), 3u);
  EXPECT_EQ(u32(44), 5u);
  EXPECT_EQ(u32(56), 16u);  // MaxScanRow
  EXPECT_EQ(u32(60), 1u);
  EXPECT_EQ(u32(64), 2u);   // PointDevice
  EXPECT_EQ(u32(68), 3u);   // EnableBits
  EXPECT_EQ(u32(72), 16u);  // NumberOfStrings
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[76])), "layout.DAT");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[108])), "SN-0042");
  EXPECT_EQ(u32(140), 100u);
  EXPECT_EQ(bytes[144], 0xFD);  // ScrollWheelGain -3
  EXPECT_TRUE(std::equal(header.bytes.begin(), header.bytes.end(), bytes.begin()));

  const std::size_t key = 148 + 5 * 144;
  const model::KeyDefinition& k5 = def.keys[5];
  EXPECT_EQ(u32(key), k5.buttonHandle);
  EXPECT_EQ(bytes[key + 4], k5.enabled);
  EXPECT_EQ(bytes[key + 5], k5.used);
  EXPECT_EQ(bytes[key + 6], k5.complete);
  EXPECT_EQ(bytes[key + 7], k5.padding1);
  EXPECT_EQ(u32(key + 8), 34565u);
  EXPECT_EQ(static_cast<std::int32_t>(u32(key + 12)), -5);
  EXPECT_EQ(u32(key + 16), 40u);
  EXPECT_EQ(u32(key + 20), 21u);
  EXPECT_EQ(u32(key + 24), 16u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[key + 28])), "Key 5");
  EXPECT_EQ(bytes[key + 60], 250);
  EXPECT_EQ(bytes[key + 61], k5.padding2[0]);
  const std::size_t layer2 = key + 64 + 2 * 20;
  const model::KeyLayer& l2 = k5.layers[2];
  EXPECT_EQ(bytes[layer2], 1);
  EXPECT_EQ(bytes[layer2 + 2], l2.padding1[1]);
  EXPECT_EQ(u32(layer2 + 4), static_cast<std::uint32_t>(l2.ibmkey));
  EXPECT_EQ(bytes[layer2 + 8], l2.keymode);
  EXPECT_EQ(bytes[layer2 + 9], l2.keytype);
  EXPECT_EQ(bytes[layer2 + 10], l2.scan2code);
  EXPECT_EQ(bytes[layer2 + 11], l2.scan3code);
  EXPECT_EQ(bytes[layer2 + 12], l2.usbcode);
  EXPECT_EQ(bytes[layer2 + 14], l2.padding2[1]);
  EXPECT_EQ(static_cast<std::int32_t>(u32(layer2 + 16)), l2.stringcharcount);

  EXPECT_EQ(bytes[18580], 2304 & 0xFF);
  EXPECT_EQ(bytes[18581], 2304 >> 8);
  EXPECT_EQ(bytes[18580 + 2 * 127] | bytes[18581 + 2 * 127] << 8, def.stringIndex[127]);
  EXPECT_EQ(bytes[18836 + 1], def.stringStore[0].characterUSB);
  EXPECT_EQ(bytes[18836 + 4 * 191 + 3], def.stringStore[191].characterType);
}

TEST(ConfigFileWrite, ReservedHeaderBytesAreLeftAsTheyAre) {
  HeaderImage header = PatternedHeader();
  const HeaderImage before = header;
  const auto file = EncodeConfigFile(FreshDefinition(), header);
  for (std::size_t i : {8, 9, 10, 11, 48, 49, 50, 51, 52, 53, 54, 55, 145, 146, 147}) {
    EXPECT_EQ(header.bytes[i], before.bytes[i]) << i;
    EXPECT_EQ(file[i], before.bytes[i]) << i;
  }
  EXPECT_EQ(header.I32(header::VersionMajor), 5);
  EXPECT_EQ(header.I32(veltrane::testing::HeaderAt("MaxScanRow")), 14);
  EXPECT_EQ(header.U32(veltrane::testing::HeaderAt("DebounceTime")), 28u);
  EXPECT_EQ(header.Text(veltrane::testing::HeaderAt("ConfigFileName")), "in.dat");
  EXPECT_EQ(static_cast<std::int8_t>(header.bytes[veltrane::testing::HeaderAt("ScrollWheelGain")]),
            1);
}

TEST(ConfigFileWrite, HeaderTextsAreCutTo31AndZeroFilled) {
  HeaderImage header;
  std::fill(header.bytes.begin(), header.bytes.end(), 0xFF);
  model::KeyboardDefinition def = FreshDefinition();
  def.settings.ConfigFileName = std::string(40, 'n') + ".DAT";
  def.settings.SerialNumber = std::string(31, 's');
  const auto file = EncodeConfigFile(def, header);
  EXPECT_EQ(header.Text(veltrane::testing::HeaderAt("ConfigFileName")), std::string(31, 'n'));
  EXPECT_EQ(header.Text(veltrane::testing::HeaderAt("SerialNumber")), std::string(31, 's'));
  EXPECT_EQ(file[76 + 31], 0);
  EXPECT_EQ(file[108 + 31], 0);
  def.settings.ConfigFileName = "ab";
  const auto shorter = EncodeConfigFile(def, header);
  EXPECT_TRUE(
      std::all_of(shorter.begin() + 78, shorter.begin() + 108, [](auto b) { return b == 0; }));
}

TEST(ConfigFileWrite, FailedSaveIntoADirectoryPathReturnsFalseAndKeepsIt) {
  TempDir dir;
  fs::create_directory(dir.File("taken.DAT"));
  WriteBytes(dir.File("taken.DAT/inside"), {1, 2, 3});
  HeaderImage header = PatternedHeader();
  const HeaderImage before = header;
  EXPECT_FALSE(WriteConfigFile(dir.File("taken.DAT"), WithVariedShown(VariedDefinition()), header));
  EXPECT_TRUE(fs::is_directory(dir.File("taken.DAT")));
  EXPECT_EQ(ReadBytes(dir.File("taken.DAT/inside")), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(header.bytes, before.bytes) << "a failed save leaves the header alone";
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator{}), 1);
}

TEST(ConfigFileWrite, FailedSaveIntoAMissingDirectoryReturnsFalse) {
  TempDir dir;
  HeaderImage header;
  const fileaccess::Status status =
      WriteConfigFile(dir.File("missing/x.DAT"), FreshDefinition(), header);
  EXPECT_FALSE(status);
  EXPECT_EQ(status.reason, dir.File("missing/x.DAT") + ": No such file or directory");
  EXPECT_FALSE(fs::exists(dir.File("missing")));
  EXPECT_FALSE(WriteConfigFile("", FreshDefinition(), header));
}

TEST(ConfigFileWrite, SavingThroughALinkKeepsTheLinkAndAReadOnlyFileIsKept) {
  TempDir dir;
  fs::create_directory(dir.File("store"));
  fs::create_symlink("store/real.DAT", dir.File("link.DAT"));
  HeaderImage header;
  ASSERT_TRUE(WriteConfigFile(dir.File("link.DAT"), WithVariedShown(VariedDefinition()), header));
  EXPECT_TRUE(fs::is_symlink(dir.File("link.DAT")));
  EXPECT_EQ(fs::file_size(dir.File("store/real.DAT")), kConfigFileSize);
  fs::permissions(dir.File("store/real.DAT"), fs::perms::owner_read | fs::perms::group_read);
  const fileaccess::Status refused =
      WriteConfigFile(dir.File("link.DAT"), FreshDefinition(), header);
  EXPECT_EQ(refused.reason, dir.File("link.DAT") + " is read-only");
  EXPECT_EQ(fs::status(dir.File("store/real.DAT")).permissions(),
            fs::perms::owner_read | fs::perms::group_read);
}

TEST(ConfigFileWrite, FailedSaveInAReadOnlyDirectoryKeepsTheOldFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop the superuser";
  TempDir dir;
  const std::vector<std::uint8_t> old(20628, 0x5A);
  WriteBytes(dir.File("keep.DAT"), old);
  fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
  HeaderImage header;
  EXPECT_FALSE(WriteConfigFile(dir.File("keep.DAT"), WithVariedShown(VariedDefinition()), header));
  fs::permissions(dir.path(), fs::perms::owner_all);
  EXPECT_EQ(ReadBytes(dir.File("keep.DAT")), old);
}

TEST(ConfigFileWrite, SaveReplacesAnExistingFile) {
  TempDir dir;
  WriteBytes(dir.File("x.DAT"), std::vector<std::uint8_t>(50000, 0x33));
  HeaderImage header;
  ASSERT_TRUE(WriteConfigFile(dir.File("x.DAT"), FreshDefinition(), header));
  EXPECT_EQ(fs::file_size(dir.File("x.DAT")), 20628u);
}

// ---- Round trips ----

TEST(ConfigFileRoundTrip, WriteThenReadGivesBackEverything) {
  TempDir dir;
  const model::KeyboardDefinition saved = WithVariedShown(VariedDefinition());
  HeaderImage written = PatternedHeader();
  ASSERT_TRUE(WriteConfigFile(dir.File("layout.DAT"), saved, written));

  model::KeyboardDefinition loaded = FreshDefinition();
  HeaderImage header;
  EXPECT_EQ(ReadConfigFile(dir.File("layout.DAT"), loaded, header), LoadOutcome::Loaded);

  ExpectSameKeys(saved, loaded);
  EXPECT_EQ(loaded.stringIndex, saved.stringIndex);
  EXPECT_EQ(loaded.stringStore, saved.stringStore);
  EXPECT_EQ(header.bytes, written.bytes) << "every header byte, reserved ones included";

  loaded.settings = FromHeader(header);
  EXPECT_EQ(loaded.settings, saved.settings);

  model::ClearStringWorkBuffer(loaded, false);
  model::RebuildStringWorkBuffer(loaded);
  for (std::size_t n = 0; n < model::kStringCount; ++n)
    EXPECT_EQ(model::StringLength(loaded.stringWorkBuffer[n]), n < 16 ? 4 : 0) << n;
}

TEST(ConfigFileRoundTrip, ResavingALoadedFileGivesTheSameBytes) {
  // A current file whose key and string bytes are arbitrary, with meaningful
  // settings, texts with leftovers behind their terminators and reserved bytes.
  std::vector<std::uint8_t> original = RawFile(kConfigFileSize, 0, 5);
  std::uint32_t seed = 12345;
  for (std::size_t i = 148; i < 19604; ++i) {
    seed = seed * 1103515245u + 12345u;
    original[i] = static_cast<std::uint8_t>(seed >> 16);
  }
  const std::uint32_t settings[] = {1, 0, 2, 9, 200, 1, 2, 3, 4};
  for (std::size_t i = 0; i < std::size(settings); ++i) Put32(original, 12 + 4 * i, settings[i]);
  Put32(original, 8, 0xDEADBEEF);
  Put32(original, 48, 0x01020304);
  Put32(original, 52, 0xFFFFFFFF);
  Put32(original, 56, 7);
  Put32(original, 60, 1);
  Put32(original, 64, 1);
  Put32(original, 68, 2);
  Put32(original, 72, 12);
  PutText(original, 76, std::string("same.DAT") + '\0' + "leftover");
  PutText(original, 108, std::string("SERIAL") + '\0' + "zzzz");
  Put32(original, 140, 150);
  original[144] = 16;
  original[145] = 0x77;
  original[147] = 0x99;

  TempDir dir;
  const fs::path path = dir.File("same.DAT");
  WriteBytes(path, original);
  model::KeyboardDefinition def = FreshDefinition();
  HeaderImage header;
  ASSERT_EQ(ReadConfigFile(path, def, header), LoadOutcome::Loaded);
  def.settings = FromHeader(header);
  def.settings.ConfigFileName = "same.DAT";  // the file-name text after the load
  ASSERT_TRUE(WriteConfigFile(path, def, header));

  const std::vector<std::uint8_t> resaved = ReadBytes(path);
  ASSERT_EQ(resaved.size(), original.size());
  auto behindTerminator = [](std::size_t i) {
    return (i >= 76 + 9 && i < 108) || (i >= 108 + 7 && i < 140);
  };
  for (std::size_t i = 0; i < original.size(); ++i) {
    if (behindTerminator(i)) {
      EXPECT_EQ(resaved[i], 0) << "offset " << i;
    } else {
      ASSERT_EQ(resaved[i], original[i]) << "offset " << i;
    }
  }
}

}  // namespace
}  // namespace veltrane::persist
