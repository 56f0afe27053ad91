// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/stat.h>
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

// ---- Earlier generations ----

TEST(ConfigFileEarlier, LoadsWithScrollWheelGainOneAndKeysFromOffset144) {
  std::vector<std::uint8_t> file = RawFile(kEarlierConfigFileSize, 1, 5);
  Put32(file, 32, 4);  // Led1
  for (int k = 0; k < 128; ++k) {
    const std::size_t key = 144 + 144 * static_cast<std::size_t>(k);
    Put32(file, key, 0x1000u + static_cast<std::uint32_t>(k));  // buttonHandle
    file[key + 4] = 1;
    file[key + 5] = 0;
    Put32(file, key + 8, 34560u + static_cast<std::uint32_t>(k));
    Put32(file, key + 12, 999);  // buttonX
    PutText(file, key + 28, "old " + std::to_string(k));
    file[key + 60] = static_cast<std::uint8_t>(k);
    const std::size_t layer3 = key + 64 + 3 * 20;
    file[layer3] = 1;
    Put32(file, layer3 + 4, static_cast<std::uint32_t>(k + 1));
    file[layer3 + 9] = model::STRING_KEY;
    file[layer3 + 10] = 0x0E;
    Put32(file, layer3 + 16, 3);
  }
  Put16(file, 18576, 2304);
  Put16(file, 18576 + 2 * 127, 3068);
  file[18832] = 0x02;
  file[18833] = 0x04;
  file[18832 + 4 * 191 + 3] = 0x11;
  file[19600] = 0xAB;  // the trailer is not read

  model::KeyboardDefinition def = FreshDefinition();
  HeaderImage header = PatternedHeader();
  ASSERT_EQ(DecodeConfigFile(file, def, header), LoadOutcome::Loaded);
  EXPECT_EQ(static_cast<std::int8_t>(header.bytes[veltrane::testing::HeaderAt("ScrollWheelGain")]),
            1);
  EXPECT_EQ(header.bytes[145], 0xA0 ^ 145);
  EXPECT_EQ(header.bytes[147], 0xA0 ^ 147);
  EXPECT_EQ(header.I32(veltrane::testing::HeaderAt("Led1") + 4 * (0)), 4);
  EXPECT_EQ(header.I32(header::VersionMinor), 0);
  EXPECT_EQ(header.I32(header::VersionMajor), 5);
  for (int k = 0; k < 128; ++k) {
    const model::KeyDefinition& key = def.keys[static_cast<std::size_t>(k)];
    EXPECT_EQ(key.buttonHandle, 0x1000u + static_cast<std::uint32_t>(k));
    EXPECT_EQ(key.used, 0);
    EXPECT_EQ(key.buttonX, 999);
    EXPECT_EQ(model::FieldText(key.legend), "old " + std::to_string(k));
    EXPECT_EQ(key.logicalAddress, k);
    EXPECT_EQ(key.layers[3].ibmkey, k + 1);
    EXPECT_EQ(key.layers[3].keytype, model::STRING_KEY);
    EXPECT_EQ(key.layers[3].scan2code, 0x0E);
    EXPECT_EQ(key.layers[3].stringcharcount, 3);
    EXPECT_EQ(key.layers[0].keytype, 0);
  }
  EXPECT_EQ(def.stringIndex[0], 2304);
  EXPECT_EQ(def.stringIndex[127], 3068);
  EXPECT_EQ(def.stringStore[0], (model::StringChar{0x02, 0x04, 0, 0}));
  EXPECT_EQ(def.stringStore[191].characterType, 0x11);
}

TEST(ConfigFileOldest, MovesTheOldRecordFieldsAndKeepsTheRest) {
  std::vector<std::uint8_t> file = RawFile(kOldestConfigFileSize, 2, 4);
  Put32(file, 72, 3);  // NumberOfStrings
  for (int k = 0; k < 128; ++k) {
    const std::size_t key = 144 + 112 * static_cast<std::size_t>(k);
    std::fill_n(file.begin() + static_cast<std::ptrdiff_t>(key), 112,
                0xCC);  // bytes not read stay 0xCC
    Put32(file, key, 0x2000u + static_cast<std::uint32_t>(k));
    file[key + 4] = 0;
    file[key + 5] = 1;
    file[key + 6] = 1;
    Put32(file, key + 8, 40000u + static_cast<std::uint32_t>(k));
    std::fill_n(file.begin() + static_cast<std::ptrdiff_t>(key + 28), 32, 0);
    PutText(file, key + 28, "oldest " + std::to_string(k));
    file[key + 60] = static_cast<std::uint8_t>(200 - k);
    for (std::size_t l = 0; l < 4; ++l) {
      file[key + 61 + 12 * l] = static_cast<std::uint8_t>(l % 2);
      Put32(file, key + 64 + 12 * l,
            static_cast<std::uint32_t>(10 * k) + static_cast<std::uint32_t>(l));
      file[key + 68 + 12 * l] = static_cast<std::uint8_t>(l + 1);
      file[key + 69 + 12 * l] = static_cast<std::uint8_t>(l + 2);
      file[key + 70 + 12 * l] = static_cast<std::uint8_t>(0x10 + l);
      file[key + 71 + 12 * l] = static_cast<std::uint8_t>(0x20 + l);
      file[key + 72 + 12 * l] = static_cast<std::uint8_t>(0x30 + l);
    }
    Put32(file, key + 88, 0x0BADF00D);  // layer 2 ibmkey
  }
  Put16(file, 14480, 2304);
  Put16(file, 14480 + 2, 2316);
  file[14736] = 0x20;
  file[14736 + 1] = 0x1E;
  file[14736 + 4 * 191 + 2] = 0x42;

  model::KeyboardDefinition def = FreshDefinition();
  for (model::KeyDefinition& key : def.keys) {
    key.padding1 = 0x5A;
    key.padding2 = {1, 2, 3};
    for (model::KeyLayer& layer : key.layers) {
      layer.stringcharcount = 9;
      layer.padding1 = {4, 5, 6};
      layer.padding2 = {7, 8, 9};
    }
  }
  HeaderImage header = PatternedHeader();
  ASSERT_EQ(DecodeConfigFile(file, def, header), LoadOutcome::Loaded);
  for (std::size_t i = 144; i < kHeaderSize; ++i) EXPECT_EQ(header.bytes[i], 0xA0 ^ i) << i;
  EXPECT_EQ(header.I32(veltrane::testing::HeaderAt("NumberOfStrings")), 3);
  EXPECT_EQ(header.I32(header::VersionMinor), 0);
  EXPECT_EQ(header.I32(header::VersionMajor), 5);

  for (int k = 0; k < 128; ++k) {
    SCOPED_TRACE("key " + std::to_string(k));
    const model::KeyDefinition& key = def.keys[static_cast<std::size_t>(k)];
    EXPECT_EQ(key.buttonHandle, 0x2000u + static_cast<std::uint32_t>(k));
    EXPECT_EQ(key.enabled, 0);
    EXPECT_EQ(key.used, 1);
    EXPECT_EQ(key.complete, 1);
    EXPECT_EQ(key.padding1, 0x5A);
    EXPECT_EQ(key.buttonId, 40000u + static_cast<std::uint32_t>(k));
    EXPECT_EQ(key.buttonX, (k % 8) * 20 + 40);
    EXPECT_EQ(key.buttonY, (k / 8) * 20 + 40);
    EXPECT_EQ(key.buttonWidth, 16);
    EXPECT_EQ(key.buttonHeight, 16);
    EXPECT_EQ(model::FieldText(key.legend), "oldest " + std::to_string(k));
    EXPECT_EQ(key.logicalAddress, 200 - k);
    EXPECT_EQ(key.padding2, (std::array<std::uint8_t, 3>{1, 2, 3}));
    for (std::size_t l = 0; l < 4; ++l) {
      const model::KeyLayer& layer = key.layers[l];
      EXPECT_EQ(layer.used, l % 2);
      if (l == 2) {
        EXPECT_EQ(layer.ibmkey, 0x0BADF00D);
      } else {
        EXPECT_EQ(layer.ibmkey, 10 * k + static_cast<int>(l));
      }
      EXPECT_EQ(layer.keymode, l + 1);
      EXPECT_EQ(layer.keytype, l + 2);
      EXPECT_EQ(layer.scan2code, 0x10 + l);
      EXPECT_EQ(layer.scan3code, 0x20 + l);
      EXPECT_EQ(layer.usbcode, 0x30 + l);
      EXPECT_EQ(layer.stringcharcount, 0);
      EXPECT_EQ(layer.padding1, (std::array<std::uint8_t, 3>{4, 5, 6}));
      EXPECT_EQ(layer.padding2, (std::array<std::uint8_t, 3>{7, 8, 9}));
    }
  }
  EXPECT_EQ(def.stringIndex[1], 2316);
  EXPECT_EQ(def.stringStore[0], (model::StringChar{0x20, 0x1E, 0, 0}));
  EXPECT_EQ(def.stringStore[191].characterMode2, 0x42);
}

// ---- Failures ----

TEST(ConfigFileRead, UnopenableFileShowsItsNameAndClearsOnlyTheKeys) {
  TempDir dir;
  model::KeyboardDefinition def = VariedDefinition();
  const model::KeyboardDefinition before = def;
  HeaderImage header = PatternedHeader();
  const std::string path = dir.File("absent.DAT");
  EXPECT_EQ(ReadConfigFile(path, def, header), LoadOutcome::CannotOpen);
  ExpectSameKeys(def, Cleared(before));
  EXPECT_EQ(def.stringIndex, before.stringIndex);
  EXPECT_EQ(def.stringStore, before.stringStore);
  EXPECT_EQ(header.bytes, PatternedHeader().bytes);
}

TEST(ConfigFileRead, WhatIsNotARegularFileIsNamedForWhatItIs) {
  TempDir dir;
  ASSERT_EQ(::mkfifo(dir.File("x.DAT").c_str(), 0644), 0);
  const struct {
    std::string path, text;
  } cases[] = {{dir.path(), dir.path() + " is a directory, not a regular file"},
               {dir.File("x.DAT"), dir.File("x.DAT") + " is a FIFO, not a regular file"},
               {"/dev/zero", "/dev/zero is a character device, not a regular file"}};
  for (const auto& c : cases) {
    model::KeyboardDefinition def = FreshDefinition();
    HeaderImage header;
    const ConfigLoad load = ReadConfigFile(c.path, def, header);
    EXPECT_EQ(load, LoadOutcome::CannotOpen);
    EXPECT_EQ(load.reason, c.text);
  }
}

TEST(ConfigFileRead, AHugeFileIsAWrongLengthWithoutBeingReadToItsEnd) {
  TempDir dir;
  WriteBytes(dir.File("big.DAT"), RawFile(kConfigFileSize, 0, 5));
  fs::resize_file(dir.File("big.DAT"), 100u << 20);
  model::KeyboardDefinition def = FreshDefinition();
  HeaderImage header;
  EXPECT_EQ(ReadConfigFile(dir.File("big.DAT"), def, header), LoadOutcome::BadLength);
}

TEST(ConfigFileRead, MajorVersionBelowFourIsIncompatible) {
  TempDir dir;
  WriteBytes(dir.File("v3.DAT"), RawFile(kConfigFileSize, 0, 3));
  model::KeyboardDefinition def = VariedDefinition();
  const model::KeyboardDefinition before = def;
  HeaderImage header = PatternedHeader();
  EXPECT_EQ(ReadConfigFile(dir.File("v3.DAT"), def, header), LoadOutcome::Incompatible);
  ExpectSameKeys(def, Cleared(before));
  ExpectStringStoreEmpty(def);
  EXPECT_EQ(header.bytes, PatternedHeader().bytes);
}

TEST(ConfigFileRead, MajorSevenMinorOneIsAccepted) {
  std::vector<std::uint8_t> file = RawFile(kConfigFileSize, 1, 7);
  model::KeyboardDefinition def = FreshDefinition();
  HeaderImage header;
  EXPECT_EQ(DecodeConfigFile(file, def, header), LoadOutcome::Loaded);
  EXPECT_EQ(header.I32(header::VersionMinor), 0);
  EXPECT_EQ(header.I32(header::VersionMajor), 5);
}

TEST(ConfigFileRead, VersionBoundaries) {
  const struct {
    std::int32_t minor, major;
    LoadOutcome outcome;
  } cases[] = {
      {0, 4, LoadOutcome::Loaded},          {2, 4, LoadOutcome::Loaded},
      {0, 5, LoadOutcome::Loaded},          {0, 3, LoadOutcome::Incompatible},
      {9, -1, LoadOutcome::Incompatible},   {-1, 5, LoadOutcome::BadMinorVersion},
      {3, 5, LoadOutcome::BadMinorVersion}, {0x7FFFFFFF, 0x7FFFFFFF, LoadOutcome::BadMinorVersion}};
  for (const auto& c : cases) {
    model::KeyboardDefinition def = FreshDefinition();
    HeaderImage header;
    EXPECT_EQ(DecodeConfigFile(RawFile(kConfigFileSize, c.minor, c.major), def, header), c.outcome)
        << c.minor << "." << c.major;
  }
}

TEST(ConfigFileRead, MinorVersionThreeIsRefusedNamingTheVersion) {
  TempDir dir;
  WriteBytes(dir.File("m3.DAT"), RawFile(kConfigFileSize, 3, 5));
  model::KeyboardDefinition def = VariedDefinition();
  const model::KeyboardDefinition before = def;
  HeaderImage header = PatternedHeader();
  const ConfigLoad load = ReadConfigFile(dir.File("m3.DAT"), def, header);
  EXPECT_EQ(load, LoadOutcome::BadMinorVersion);
  EXPECT_EQ(load.major, 5);
  EXPECT_EQ(load.minor, 3);
  ExpectSameKeys(def, Cleared(before));
  for (const model::KeyDefinition& key : def.keys) {
    EXPECT_EQ(model::FieldText(key.legend), "Nothing");
    EXPECT_EQ(key.layers[0].keytype, model::UNUSED_KEY);
  }
  ExpectStringStoreEmpty(def);
  EXPECT_EQ(header.bytes, PatternedHeader().bytes);
}

TEST(ConfigFileRead, WrongLengthTakesTheHeaderAndRefusesTheRest) {
  TempDir dir;
  std::vector<std::uint8_t> file = RawFile(20000, 1, 6);
  Put32(file, 32, 5);    // Led1
  Put32(file, 140, 77);  // BeepLength
  file[144] = 0x44;      // past the header's first 144 bytes: not taken
  WriteBytes(dir.File("short.DAT"), file);
  model::KeyboardDefinition def = VariedDefinition();
  const model::KeyboardDefinition before = def;
  HeaderImage header = PatternedHeader();
  EXPECT_EQ(ReadConfigFile(dir.File("short.DAT"), def, header), LoadOutcome::BadLength);
  ExpectSameKeys(def, Cleared(before));
  ExpectStringStoreEmpty(def);
  EXPECT_EQ(header.I32(header::VersionMinor), 0);
  EXPECT_EQ(header.I32(header::VersionMajor), 5);
  EXPECT_EQ(header.I32(veltrane::testing::HeaderAt("Led1") + 4 * (0)), 5);
  EXPECT_EQ(header.U32(veltrane::testing::HeaderAt("BeepLength")), 77u);
  EXPECT_EQ(header.bytes[12], 0);
  for (std::size_t i = 144; i < kHeaderSize; ++i) EXPECT_EQ(header.bytes[i], 0xA0 ^ i) << i;
}

TEST(ConfigFileRead, FilesTooShortForTheirVersionsAreAWrongLength) {
  for (std::size_t length : {0, 1, 4, 7}) {
    SCOPED_TRACE(length);
    std::vector<std::uint8_t> file(length, 0xEE);
    model::KeyboardDefinition def = VariedDefinition();
    HeaderImage header = PatternedHeader();
    EXPECT_EQ(DecodeConfigFile(file, def, header), LoadOutcome::BadLength);
    ExpectStringStoreEmpty(def);
    EXPECT_EQ(header.I32(header::VersionMinor), 0);
    EXPECT_EQ(header.I32(header::VersionMajor), 5);
    for (std::size_t i = 8; i < kHeaderSize; ++i) EXPECT_EQ(header.bytes[i], 0xA0 ^ i) << i;
  }
}

TEST(ConfigFileRead, AShortHeaderIsTakenAsFarAsItGoes) {
  std::vector<std::uint8_t> file = RawFile(100, 0, 5);
  std::fill(file.begin() + 8, file.end(), 0x11);
  model::KeyboardDefinition def = FreshDefinition();
  HeaderImage header = PatternedHeader();
  EXPECT_EQ(DecodeConfigFile(file, def, header), LoadOutcome::BadLength);
  for (std::size_t i = 8; i < 100; ++i) EXPECT_EQ(header.bytes[i], 0x11) << i;
  for (std::size_t i = 100; i < kHeaderSize; ++i) EXPECT_EQ(header.bytes[i], 0xA0 ^ i) << i;
}

TEST(ConfigFileRead, LengthsNextToTheKnownOnesAreWrong) {
  for (std::size_t length : {kConfigFileSize - 1, kConfigFileSize + 1, kEarlierConfigFileSize + 1,
                             kOldestConfigFileSize - 1, kOldestConfigFileSize + 1}) {
    model::KeyboardDefinition def = FreshDefinition();
    HeaderImage header;
    EXPECT_EQ(DecodeConfigFile(RawFile(length, 0, 5), def, header), LoadOutcome::BadLength)
        << length;
  }
}

// ---- Contents taken as they are ----

TEST(ConfigFileRead, HeaderTextsWithoutTerminatorRunToTheFieldEnd) {
  std::vector<std::uint8_t> file = RawFile(kConfigFileSize, 0, 5);
  PutText(file, 76, std::string(32, 'F'));
  PutText(file, 108, std::string(32, 'S'));
  Put32(file, 140, 0x12345678);
  model::KeyboardDefinition def = FreshDefinition();
  HeaderImage header;
  ASSERT_EQ(DecodeConfigFile(file, def, header), LoadOutcome::Loaded);
  EXPECT_EQ(header.Text(veltrane::testing::HeaderAt("ConfigFileName")), std::string(32, 'F'));
  EXPECT_EQ(header.Text(veltrane::testing::HeaderAt("SerialNumber")), std::string(32, 'S'));

  // Written back as they were loaded, they stay whole: nothing of the file is lost.
  def.settings = FromHeader(header);
  EXPECT_EQ(def.settings.BeepLength, 0x78);
  auto resaved = EncodeConfigFile(def, header);
  EXPECT_EQ(header.Text(veltrane::testing::HeaderAt("SerialNumber")), std::string(32, 'S'));
  EXPECT_TRUE(std::equal(file.begin() + 76, file.begin() + 140, resaved.begin() + 76));
  // A text given anew is cut to 31 characters and terminated, as the program writes its texts.
  def.settings.SerialNumber = std::string(32, 'T');
  def.settings.ConfigFileName = std::string(40, 'N');
  resaved = EncodeConfigFile(def, header);
  EXPECT_EQ(header.Text(veltrane::testing::HeaderAt("SerialNumber")), std::string(31, 'T'));
  EXPECT_EQ(resaved[108 + 31], 0);
  EXPECT_EQ(resaved[76 + 31], 0);
}

TEST(ConfigFileRead, OutOfRangeKeyValuesLoadAsTheyAre) {
  model::KeyboardDefinition def = FreshDefinition();
  model::KeyLayer& a = def.keys[0].layers[0];
  a.used = 7;
  a.ibmkey = 5000;
  a.keytype = 0xFF;
  model::KeyLayer& b = def.keys[1].layers[1];
  b.ibmkey = -1;
  b.keytype = 63;
  model::KeyLayer& c = def.keys[127].layers[3];
  c.keytype = model::STRING_KEY;
  c.ibmkey = 200;  // no such string
  c.stringcharcount = -7;
  def.keys[2].enabled = 9;
  model::SetFieldText(def.keys[3].legend, "");
  std::fill(def.keys[4].legend.begin(), def.keys[4].legend.end(), 'L');  // no terminator
  def.stringIndex[5] = 0xFFFF;
  def.stringStore[7] = {0xFF, 0xFF, 0xFF, 0xFF};
  def.settings.NumberOfStrings = -4;
  def.settings.DefRepDelay = -1;
  def.settings.MaxScanRow = 99;

  HeaderImage header;
  const auto file = EncodeConfigFile(def, header);
  model::KeyboardDefinition loaded = FreshDefinition();
  HeaderImage reread;
  ASSERT_EQ(DecodeConfigFile(file, loaded, reread), LoadOutcome::Loaded);
  ExpectSameKeys(def, loaded);
  EXPECT_EQ(loaded.stringIndex[5], 0xFFFF);
  EXPECT_EQ(loaded.stringStore[7], (model::StringChar{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(reread.I32(veltrane::testing::HeaderAt("NumberOfStrings")), -4);
  EXPECT_EQ(reread.I32(veltrane::testing::HeaderAt("DefRepDelay")), -1);
  EXPECT_EQ(reread.I32(veltrane::testing::HeaderAt("MaxScanRow")), 99);
  EXPECT_EQ(model::FieldText(loaded.keys[4].legend), std::string(32, 'L'));

  // The rest of the program copes with what was loaded.
  model::ClearStringWorkBuffer(loaded, false);
  model::RebuildStringWorkBuffer(loaded);
  EXPECT_NE(FormatTextReport(loaded).find(" 0 , 4 = " + std::string(32, 'L') + " , 1"),
            std::string::npos);
}

TEST(ConfigFileRead, ALoadReplacesTheStringStoreEvenWhereTheFileIsEmpty) {
  model::KeyboardDefinition def = VariedDefinition();
  HeaderImage header;
  ASSERT_EQ(DecodeConfigFile(RawFile(kConfigFileSize, 0, 5), def, header), LoadOutcome::Loaded);
  ExpectStringStoreEmpty(def);
  for (const model::KeyDefinition& key : def.keys) EXPECT_EQ(key.buttonId, 0u);
}

}  // namespace
}  // namespace veltrane::persist
