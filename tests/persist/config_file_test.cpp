#include "persist/config_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <numeric>

#include "persist/text_report.h"
#include "tests/persist/persist_test_util.h"
#include "tests/support/recording_messages.h"
#include "tests/support/temp_dir.h"

namespace veltrane::persist {
namespace {

using namespace veltrane::persist::testing;
using veltrane::testing::RecordingMessages;
using veltrane::testing::TempDir;
namespace fs = std::filesystem;

void ExpectSameLayer(const model::KeyLayer& a, const model::KeyLayer& b) {
  EXPECT_EQ(a.used, b.used);
  EXPECT_EQ(a.padding1, b.padding1);
  EXPECT_EQ(a.ibmkey, b.ibmkey);
  EXPECT_EQ(a.keymode, b.keymode);
  EXPECT_EQ(a.keytype, b.keytype);
  EXPECT_EQ(a.scan2code, b.scan2code);
  EXPECT_EQ(a.scan3code, b.scan3code);
  EXPECT_EQ(a.usbcode, b.usbcode);
  EXPECT_EQ(a.padding2, b.padding2);
  EXPECT_EQ(a.stringcharcount, b.stringcharcount);
}

void ExpectSameKey(const model::KeyDefinition& a, const model::KeyDefinition& b) {
  EXPECT_EQ(a.buttonHandle, b.buttonHandle);
  EXPECT_EQ(a.enabled, b.enabled);
  EXPECT_EQ(a.used, b.used);
  EXPECT_EQ(a.complete, b.complete);
  EXPECT_EQ(a.padding1, b.padding1);
  EXPECT_EQ(a.buttonId, b.buttonId);
  EXPECT_EQ(a.buttonX, b.buttonX);
  EXPECT_EQ(a.buttonY, b.buttonY);
  EXPECT_EQ(a.buttonWidth, b.buttonWidth);
  EXPECT_EQ(a.buttonHeight, b.buttonHeight);
  EXPECT_EQ(a.legend, b.legend);
  EXPECT_EQ(a.logicalAddress, b.logicalAddress);
  EXPECT_EQ(a.padding2, b.padding2);
  for (std::size_t l = 0; l < a.layers.size(); ++l) {
    SCOPED_TRACE("layer " + std::to_string(l));
    ExpectSameLayer(a.layers[l], b.layers[l]);
  }
}

void ExpectSameKeys(const model::KeyboardDefinition& a, const model::KeyboardDefinition& b) {
  for (std::size_t k = 0; k < a.keys.size(); ++k) {
    SCOPED_TRACE("key " + std::to_string(k));
    ExpectSameKey(a.keys[k], b.keys[k]);
  }
}

// The keys as ClearKeys leaves them, starting from `def`.
model::KeyboardDefinition Cleared(model::KeyboardDefinition def) {
  model::ClearKeys(def);
  return def;
}

void ExpectStringStoreEmpty(const model::KeyboardDefinition& def) {
  for (std::uint16_t index : def.stringIndex) EXPECT_EQ(index, 0);
  for (const model::StringChar& entry : def.stringStore) EXPECT_TRUE(entry.IsTerminator());
}

HeaderImage PatternedHeader() {
  HeaderImage header;
  for (std::size_t i = 0; i < kHeaderSize; ++i)
    header.bytes[i] = static_cast<std::uint8_t>(0xA0 ^ i);
  return header;
}

void ExpectOneMessage(const RecordingMessages& sink, std::string_view text,
                      std::string_view caption) {
  ASSERT_EQ(sink.shown.size(), 1u);
  EXPECT_EQ(sink.shown[0].text, text);
  EXPECT_EQ(sink.shown[0].caption, caption);
  EXPECT_EQ(sink.shown[0].icon, model::MessageIcon::None);
}

// ---- Writing ----

TEST(ConfigFileWrite, FileIsCurrentSizeAndEndsWithZeroTrailer) {
  TempDir dir;
  const model::KeyboardDefinition def = VariedDefinition();
  HeaderImage header = PatternedHeader();
  ASSERT_TRUE(WriteConfigFile(dir.File("out.DAT"), def, VariedShown(), header));
  const std::vector<std::uint8_t> file = ReadBytes(dir.File("out.DAT"));
  ASSERT_EQ(file.size(), 20628u);
  EXPECT_TRUE(std::all_of(file.end() - 1024, file.end(), [](std::uint8_t b) { return b == 0; }));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator{}), 1);
}

TEST(ConfigFileWrite, FieldsLieAtTheirOffsets) {
  const model::KeyboardDefinition def = VariedDefinition();
  HeaderImage header;
  const auto file = EncodeConfigFile(def, VariedShown(), header);
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
  const auto file = EncodeConfigFile(FreshDefinition(), model::ShownSettings{}, header);
  for (std::size_t i : {8, 9, 10, 11, 48, 49, 50, 51, 52, 53, 54, 55, 145, 146, 147}) {
    EXPECT_EQ(header.bytes[i], before.bytes[i]) << i;
    EXPECT_EQ(file[i], before.bytes[i]) << i;
  }
  EXPECT_EQ(header.I32(header::VersionMajor), 5);
  EXPECT_EQ(header.I32(header::MaxScanRow), 14);
  EXPECT_EQ(header.U32(header::DebounceTime), 28u);
  EXPECT_EQ(header.Text(header::ConfigFileName), "in.dat");
  EXPECT_EQ(header.ScrollWheelGain(), 1);
}

TEST(ConfigFileWrite, HeaderTextsAreCutTo31AndZeroFilled) {
  HeaderImage header;
  std::fill(header.bytes.begin(), header.bytes.end(), 0xFF);
  model::ShownSettings shown;
  shown.ConfigFileName = std::string(40, 'n') + ".DAT";
  shown.SerialNumber = std::string(31, 's');
  const auto file = EncodeConfigFile(FreshDefinition(), shown, header);
  EXPECT_EQ(header.Text(header::ConfigFileName), std::string(31, 'n'));
  EXPECT_EQ(header.Text(header::SerialNumber), std::string(31, 's'));
  EXPECT_EQ(file[76 + 31], 0);
  EXPECT_EQ(file[108 + 31], 0);
  shown.ConfigFileName = "ab";
  const auto shorter = EncodeConfigFile(FreshDefinition(), shown, header);
  EXPECT_TRUE(
      std::all_of(shorter.begin() + 78, shorter.begin() + 108, [](auto b) { return b == 0; }));
}

TEST(ConfigFileWrite, FailedSaveIntoADirectoryPathReturnsFalseAndKeepsIt) {
  TempDir dir;
  fs::create_directory(dir.File("taken.DAT"));
  WriteBytes(dir.File("taken.DAT/inside"), {1, 2, 3});
  HeaderImage header = PatternedHeader();
  const HeaderImage before = header;
  EXPECT_FALSE(WriteConfigFile(dir.File("taken.DAT"), VariedDefinition(), VariedShown(), header));
  EXPECT_TRUE(fs::is_directory(dir.File("taken.DAT")));
  EXPECT_EQ(ReadBytes(dir.File("taken.DAT/inside")), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(header.bytes, before.bytes) << "a failed save leaves the header alone";
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator{}), 1);
}

TEST(ConfigFileWrite, FailedSaveIntoAMissingDirectoryReturnsFalse) {
  TempDir dir;
  HeaderImage header;
  EXPECT_FALSE(WriteConfigFile(dir.File("missing/x.DAT"), FreshDefinition(), {}, header));
  EXPECT_FALSE(fs::exists(dir.File("missing")));
  EXPECT_FALSE(WriteConfigFile("", FreshDefinition(), {}, header));
}

TEST(ConfigFileWrite, FailedSaveInAReadOnlyDirectoryKeepsTheOldFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop the superuser";
  TempDir dir;
  const std::vector<std::uint8_t> old(20628, 0x5A);
  WriteBytes(dir.File("keep.DAT"), old);
  fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
  HeaderImage header;
  EXPECT_FALSE(WriteConfigFile(dir.File("keep.DAT"), VariedDefinition(), VariedShown(), header));
  fs::permissions(dir.path(), fs::perms::owner_all);
  EXPECT_EQ(ReadBytes(dir.File("keep.DAT")), old);
}

TEST(ConfigFileWrite, SaveReplacesAnExistingFile) {
  TempDir dir;
  WriteBytes(dir.File("x.DAT"), std::vector<std::uint8_t>(50000, 0x33));
  HeaderImage header;
  ASSERT_TRUE(WriteConfigFile(dir.File("x.DAT"), FreshDefinition(), {}, header));
  EXPECT_EQ(fs::file_size(dir.File("x.DAT")), 20628u);
}

// ---- Round trips ----

TEST(ConfigFileRoundTrip, WriteThenReadGivesBackEverything) {
  TempDir dir;
  const model::KeyboardDefinition saved = VariedDefinition();
  const model::ShownSettings shown = VariedShown();
  HeaderImage written = PatternedHeader();
  ASSERT_TRUE(WriteConfigFile(dir.File("layout.DAT"), saved, shown, written));

  model::KeyboardDefinition loaded = FreshDefinition();
  HeaderImage header;
  RecordingMessages sink;
  EXPECT_EQ(ReadConfigFile(dir.File("layout.DAT"), loaded, header, sink), LoadOutcome::Loaded);
  ExpectOneMessage(sink, "Loaded configuration file !", "Load");

  ExpectSameKeys(saved, loaded);
  EXPECT_EQ(loaded.stringIndex, saved.stringIndex);
  EXPECT_EQ(loaded.stringStore, saved.stringStore);
  EXPECT_EQ(header.bytes, written.bytes) << "every header byte, reserved ones included";

  model::ShownSettings reshown;
  ApplyHeader(header, loaded, reshown);
  const model::GlobalSettings& a = loaded.settings;
  const model::GlobalSettings& b = saved.settings;
  EXPECT_EQ(a.GlobalRepeatDisable, b.GlobalRepeatDisable);
  EXPECT_EQ(a.AnyKeyRelease, b.AnyKeyRelease);
  EXPECT_EQ(a.Led1, b.Led1);
  EXPECT_EQ(a.Led2, b.Led2);
  EXPECT_EQ(a.Led3, b.Led3);
  EXPECT_EQ(a.Led4, b.Led4);
  EXPECT_EQ(a.PrefixMakeBreak, b.PrefixMakeBreak);
  EXPECT_EQ(a.EnableBits, b.EnableBits);
  EXPECT_EQ(a.NumberOfStrings, b.NumberOfStrings);
  EXPECT_EQ(a.BeepLength, b.BeepLength);
  EXPECT_EQ(a.ScrollWheelGain, b.ScrollWheelGain);
  EXPECT_EQ(reshown.DefRepDelay, shown.DefRepDelay);
  EXPECT_EQ(reshown.DefRepRate, shown.DefRepRate);
  EXPECT_EQ(reshown.DebounceTime, shown.DebounceTime);
  EXPECT_EQ(reshown.MaxScanRow, shown.MaxScanRow);
  EXPECT_EQ(reshown.PointDevice, shown.PointDevice);
  EXPECT_EQ(reshown.SerialNumber, shown.SerialNumber);
  EXPECT_EQ(header.Text(header::ConfigFileName), shown.ConfigFileName);

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
  RecordingMessages sink;
  ASSERT_EQ(ReadConfigFile(path, def, header, sink), LoadOutcome::Loaded);
  model::ShownSettings shown;
  ApplyHeader(header, def, shown);
  shown.ConfigFileName = "same.DAT";  // the file-name display after the load
  ASSERT_TRUE(WriteConfigFile(path, def, shown, header));

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
  RecordingMessages sink;
  ASSERT_EQ(DecodeConfigFile(file, def, header, sink), LoadOutcome::Loaded);
  ExpectOneMessage(sink, "Loaded configuration file !", "Load");
  EXPECT_EQ(header.ScrollWheelGain(), 1);
  EXPECT_EQ(header.bytes[145], 0xA0 ^ 145);
  EXPECT_EQ(header.bytes[147], 0xA0 ^ 147);
  EXPECT_EQ(header.Led(0), 4);
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
  RecordingMessages sink;
  ASSERT_EQ(DecodeConfigFile(file, def, header, sink), LoadOutcome::Loaded);
  ExpectOneMessage(sink, "Loaded configuration file !", "Load");
  for (std::size_t i = 144; i < kHeaderSize; ++i) EXPECT_EQ(header.bytes[i], 0xA0 ^ i) << i;
  EXPECT_EQ(header.I32(header::NumberOfStrings), 3);
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
  RecordingMessages sink;
  const std::string path = dir.File("absent.DAT");
  EXPECT_EQ(ReadConfigFile(path, def, header, sink), LoadOutcome::CannotOpen);
  ExpectOneMessage(sink, path, "Cannot open file");
  ExpectSameKeys(def, Cleared(before));
  EXPECT_EQ(def.stringIndex, before.stringIndex);
  EXPECT_EQ(def.stringStore, before.stringStore);
  EXPECT_EQ(header.bytes, PatternedHeader().bytes);
}

TEST(ConfigFileRead, ADirectoryCannotBeOpened) {
  TempDir dir;
  model::KeyboardDefinition def = FreshDefinition();
  HeaderImage header;
  RecordingMessages sink;
  EXPECT_EQ(ReadConfigFile(dir.path(), def, header, sink), LoadOutcome::CannotOpen);
  ExpectOneMessage(sink, dir.path(), "Cannot open file");
}

TEST(ConfigFileRead, MajorVersionBelowFourIsIncompatible) {
  TempDir dir;
  WriteBytes(dir.File("v3.DAT"), RawFile(kConfigFileSize, 0, 3));
  model::KeyboardDefinition def = VariedDefinition();
  const model::KeyboardDefinition before = def;
  HeaderImage header = PatternedHeader();
  RecordingMessages sink;
  EXPECT_EQ(ReadConfigFile(dir.File("v3.DAT"), def, header, sink), LoadOutcome::Incompatible);
  ExpectOneMessage(sink, "Incompatible .DAT file !", ".DAT file");
  ExpectSameKeys(def, Cleared(before));
  ExpectStringStoreEmpty(def);
  EXPECT_EQ(header.bytes, PatternedHeader().bytes);
}

TEST(ConfigFileRead, MajorSevenMinorOneIsAccepted) {
  std::vector<std::uint8_t> file = RawFile(kConfigFileSize, 1, 7);
  model::KeyboardDefinition def = FreshDefinition();
  HeaderImage header;
  RecordingMessages sink;
  EXPECT_EQ(DecodeConfigFile(file, def, header, sink), LoadOutcome::Loaded);
  ExpectOneMessage(sink, "Loaded configuration file !", "Load");
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
    RecordingMessages sink;
    EXPECT_EQ(DecodeConfigFile(RawFile(kConfigFileSize, c.minor, c.major), def, header, sink),
              c.outcome)
        << c.minor << "." << c.major;
  }
}

TEST(ConfigFileRead, MinorVersionThreeIsRefusedSilently) {
  TempDir dir;
  WriteBytes(dir.File("m3.DAT"), RawFile(kConfigFileSize, 3, 5));
  model::KeyboardDefinition def = VariedDefinition();
  const model::KeyboardDefinition before = def;
  HeaderImage header = PatternedHeader();
  RecordingMessages sink;
  EXPECT_EQ(ReadConfigFile(dir.File("m3.DAT"), def, header, sink), LoadOutcome::BadMinorVersion);
  EXPECT_TRUE(sink.shown.empty());
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
  RecordingMessages sink;
  EXPECT_EQ(ReadConfigFile(dir.File("short.DAT"), def, header, sink), LoadOutcome::BadLength);
  ExpectOneMessage(sink, "FileLength error !", ".DAT file");
  ExpectSameKeys(def, Cleared(before));
  ExpectStringStoreEmpty(def);
  EXPECT_EQ(header.I32(header::VersionMinor), 0);
  EXPECT_EQ(header.I32(header::VersionMajor), 5);
  EXPECT_EQ(header.Led(0), 5);
  EXPECT_EQ(header.U32(header::BeepLength), 77u);
  EXPECT_EQ(header.bytes[12], 0);
  for (std::size_t i = 144; i < kHeaderSize; ++i) EXPECT_EQ(header.bytes[i], 0xA0 ^ i) << i;
}

TEST(ConfigFileRead, FilesTooShortForTheirVersionsAreAWrongLength) {
  for (std::size_t length : {0, 1, 4, 7}) {
    SCOPED_TRACE(length);
    std::vector<std::uint8_t> file(length, 0xEE);
    model::KeyboardDefinition def = VariedDefinition();
    HeaderImage header = PatternedHeader();
    RecordingMessages sink;
    EXPECT_EQ(DecodeConfigFile(file, def, header, sink), LoadOutcome::BadLength);
    ExpectOneMessage(sink, "FileLength error !", ".DAT file");
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
  RecordingMessages sink;
  EXPECT_EQ(DecodeConfigFile(file, def, header, sink), LoadOutcome::BadLength);
  for (std::size_t i = 8; i < 100; ++i) EXPECT_EQ(header.bytes[i], 0x11) << i;
  for (std::size_t i = 100; i < kHeaderSize; ++i) EXPECT_EQ(header.bytes[i], 0xA0 ^ i) << i;
}

TEST(ConfigFileRead, LengthsNextToTheKnownOnesAreWrong) {
  for (std::size_t length : {kConfigFileSize - 1, kConfigFileSize + 1, kEarlierConfigFileSize + 1,
                             kOldestConfigFileSize - 1, kOldestConfigFileSize + 1}) {
    model::KeyboardDefinition def = FreshDefinition();
    HeaderImage header;
    RecordingMessages sink;
    EXPECT_EQ(DecodeConfigFile(RawFile(length, 0, 5), def, header, sink), LoadOutcome::BadLength)
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
  RecordingMessages sink;
  ASSERT_EQ(DecodeConfigFile(file, def, header, sink), LoadOutcome::Loaded);
  EXPECT_EQ(header.Text(header::ConfigFileName), std::string(32, 'F'));
  EXPECT_EQ(header.Text(header::SerialNumber), std::string(32, 'S'));

  // Written back, the texts are cut to 31 characters and terminated.
  model::ShownSettings shown;
  ApplyHeader(header, def, shown);
  shown.ConfigFileName = std::string(header.Text(header::ConfigFileName));
  EXPECT_EQ(def.settings.BeepLength, 0x78);
  const auto resaved = EncodeConfigFile(def, shown, header);
  EXPECT_EQ(header.Text(header::SerialNumber), std::string(31, 'S'));
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
  model::ShownSettings shown;
  shown.DefRepDelay = -1;
  shown.MaxScanRow = 99;

  HeaderImage header;
  const auto file = EncodeConfigFile(def, shown, header);
  model::KeyboardDefinition loaded = FreshDefinition();
  HeaderImage reread;
  RecordingMessages sink;
  ASSERT_EQ(DecodeConfigFile(file, loaded, reread, sink), LoadOutcome::Loaded);
  ExpectSameKeys(def, loaded);
  EXPECT_EQ(loaded.stringIndex[5], 0xFFFF);
  EXPECT_EQ(loaded.stringStore[7], (model::StringChar{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(reread.I32(header::NumberOfStrings), -4);
  EXPECT_EQ(reread.I32(header::DefRepDelay), -1);
  EXPECT_EQ(reread.I32(header::MaxScanRow), 99);
  EXPECT_EQ(model::FieldText(loaded.keys[4].legend), std::string(32, 'L'));

  // The rest of the program copes with what was loaded.
  model::ClearStringWorkBuffer(loaded, false);
  model::RebuildStringWorkBuffer(loaded);
  EXPECT_NE(FormatTextReport(loaded, shown).find(" 0 , 4 = " + std::string(32, 'L') + " , 1"),
            std::string::npos);
}

TEST(ConfigFileRead, ALoadReplacesTheStringStoreEvenWhereTheFileIsEmpty) {
  model::KeyboardDefinition def = VariedDefinition();
  HeaderImage header;
  RecordingMessages sink;
  ASSERT_EQ(DecodeConfigFile(RawFile(kConfigFileSize, 0, 5), def, header, sink),
            LoadOutcome::Loaded);
  ExpectStringStoreEmpty(def);
  for (const model::KeyDefinition& key : def.keys) EXPECT_EQ(key.buttonId, 0u);
}

}  // namespace
}  // namespace veltrane::persist
