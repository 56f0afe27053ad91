// SPDX-License-Identifier: MIT
#include "eeprom/image_reader.h"

#include <gtest/gtest.h>

#include "eeprom_test_support.h"
#include "model/key_tables.h"
#include "support/setting_places.h"

namespace veltrane::eeprom {
namespace {

class ReaderTest : public ::testing::Test {
 protected:
  void Decode(int firmware = 0) {
    def->settings = settings;
    const ImageRead decoded = DecodeImage(image, firmware, *def);
    settings = decoded.settings;
    read = decoded.read;
  }
  // Maps a layer of a key to address a, whose tables get the given entry.
  void PutKey(int keyIndex, int layer, std::uint8_t a, std::uint8_t keytype, std::uint8_t scan2,
              std::uint8_t usb, std::uint8_t keymode = 0) {
    image[LogicalAddressOffset(layer, keyIndex)] = a;
    image[region::KeyInfo + a] = keytype;
    image[region::ScanSet2 + a] = scan2;
    image[region::ScanSet3 + a] = static_cast<std::uint8_t>(scan2 + 1);
    image[region::UsbSet + a] = usb;
    image[region::KeyMode + a] = keymode;
  }
  void PutPointer(int s, std::uint16_t p) {
    image[region::StringPointers + 2 * static_cast<std::size_t>(s)] = p & 0xFF;
    image[region::StringPointers + 2 * static_cast<std::size_t>(s) + 1] = p >> 8;
  }
  void PutStroke(std::size_t at, std::uint8_t usb) {
    image[at] = 0x02;
    image[at + 1] = usb;
    image[at + 2] = 0x33;
    image[at + 3] = 0;
  }
  const model::StringRow& Row(int s) const {
    return def->stringWorkBuffer[static_cast<std::size_t>(s)];
  }

  std::unique_ptr<model::KeyboardDefinition> def = test::StartUpDefinition();
  model::Settings settings;
  model::SettingMask read;
  EepromImage image = test::FilledImage(0xFF);
};

TEST_F(ReaderTest, ErasedImageGivesNoKeysAndKeepsTheSettingsItsErasedBytesCannotHold) {
  def->stringIndex.fill(0x1234);
  settings.DefRepDelay = 2;
  Decode();
  for (const model::KeyDefinition& key : def->keys) {
    EXPECT_EQ(key.complete, 0);
    for (const model::KeyLayer& layer : key.layers) EXPECT_EQ(layer.used, 0);
  }
  for (std::uint16_t p : def->stringIndex) EXPECT_EQ(p, 0);
  for (const model::StringChar& c : def->stringStore) EXPECT_TRUE(c.IsTerminator());
  for (std::uint8_t b : settings.PointDeviceParams) EXPECT_EQ(b, 0xFF);
  EXPECT_EQ(settings.NumberOfStrings, 1);
  EXPECT_EQ(settings.DebounceTime, 0xFFu);  // 255 is a debounce time
  // 0xFF is no value of these: erased memory, not a setting out of its range.
  EXPECT_EQ(settings.MaxScanRow, 14);
  EXPECT_EQ(settings.DefRepDelay, 2);
  EXPECT_EQ(settings.ScrollWheelGain, 1);
  EXPECT_EQ(settings.SerialNumber, "");
  for (const char* name : {"MaxScanRow", "DefRepDelay", "ScrollWheelGain", "Led1", "SerialNumber",
                           "GlobalRepeatDisable"})
    EXPECT_FALSE(read.test(model::SettingIndex(model::SettingNamed(name)))) << name;
  for (const char* name : {"DebounceTime", "NumberOfStrings", "iGain1N", "iInvW"})
    EXPECT_TRUE(read.test(model::SettingIndex(model::SettingNamed(name)))) << name;
}

TEST_F(ReaderTest, SettingsTheImageHoldsComeBackAndErasedOnesKeepTheirValues) {
  const auto fields = [&] {
    return std::array<int, 4>{settings.GlobalRepeatDisable, settings.DefRepRate,
                              settings.PointDevice, settings.BeepLength};
  };
  const std::size_t offsets[] = {
      veltrane::testing::ImageAt("GlobalRepeatDisable"), veltrane::testing::ImageAt("DefRepRate"),
      veltrane::testing::ImageAt("PointDevice"), veltrane::testing::ImageAt("BeepLength")};
  settings.GlobalRepeatDisable = settings.BeepLength = 77;
  settings.DefRepRate = settings.PointDevice = 77;
  settings.SerialNumber = "kept";
  settings.ConfigFileName = "kept.DAT";
  settings.Leds[0] = 5;
  image[info::LedMaskBase + 3] = 0x08;  // one mask byte erased: the LEDs stay
  Decode();
  EXPECT_EQ(fields(), (std::array<int, 4>{77, 77, 77, 77}));
  EXPECT_EQ(settings.SerialNumber, "kept");
  EXPECT_EQ(settings.ConfigFileName, "kept.DAT");
  EXPECT_EQ(settings.Leds[0], 5);

  for (std::size_t at : offsets) image[at] = static_cast<std::uint8_t>(at & 0x0F);
  const char serial[] = "SN-0123456789-abcdefghijklmnopqrstuvwxyz";  // longer than 31
  std::copy_n(serial, sizeof serial, image.begin() + veltrane::testing::ImageAt("SerialNumber"));
  const char name[] = "desk-v1.1.DAT";
  std::copy_n(name, sizeof name, image.begin() + veltrane::testing::ImageAt("ConfigFileName"));
  Decode();
  EXPECT_EQ(settings.ConfigFileName, "desk-v1.1.DAT");
  EXPECT_EQ(fields(), (std::array<int, 4>{0x01, 0x04, 0x0D, 0x0F}));
  EXPECT_EQ(settings.SerialNumber, std::string(serial, 31));
  image[veltrane::testing::ImageAt("SerialNumber") + 4] = 0xFF;  // erased bytes end the text too
  Decode();
  EXPECT_EQ(settings.SerialNumber, "SN-0");
}

TEST_F(ReaderTest, LedsShowTheLowestFunctionWiredToTheirOutputBit) {
  const auto masks = [&](std::array<std::uint8_t, 5> bits) {  // of functions 1..5
    std::copy(bits.begin(), bits.end(), image.begin() + info::LedMaskBase + 1);
  };
  masks({0x00, 0x10, 0x04, 0x10, 0x00});
  EXPECT_EQ(LedsFromMasks(image, 527), (std::array<std::int32_t, 4>{3, 0, 2, 0}));
  masks({0x08, 0x40, 0x04, 0x00, 0x00});  // firmware 1415..1499: LED 4 has no output bit
  EXPECT_EQ(LedsFromMasks(image, 1420), (std::array<std::int32_t, 4>{1, 2, 3, 0}));
  EXPECT_EQ(LedsFromMasks(image, 1500), (std::array<std::int32_t, 4>{3, 1, 0, 0}));
}

TEST_F(ReaderTest, ScanRowByteGivesMaxScanRow) {
  for (const auto& [stored, rows] : {std::pair{16, 8}, {31, 16}, {1, 1}, {0, 0}}) {
    image[veltrane::testing::ImageAt("MaxScanRow")] = static_cast<std::uint8_t>(stored);
    Decode();
    EXPECT_EQ(settings.MaxScanRow, rows) << stored;
  }
}

TEST_F(ReaderTest, LayersComeBackWithTableSearchedIbmKey) {
  PutKey(0, 0, 0, model::NORMAL_KEY, 0x1C, 0x04);
  PutKey(1, 0, 1, model::CONSUMER_KEY, 0x32, 0x04);
  PutKey(2, 3, 1, model::CONSUMER_KEY, 0x32, 0x04);  // shares address 1
  PutKey(3, 1, 2, model::SHIFT_LEFT_KEY, 0x12, 0xE1);
  PutKey(4, 2, 3, model::CONSUMER_KEY | model::KEYTYPE_LIGHT_UP, 0x32, 0x04);
  Decode();
  EXPECT_EQ(def->keys[0].layers[0].ibmkey, 31);
  EXPECT_EQ(def->keys[1].layers[0].ibmkey, 144);
  EXPECT_EQ(def->keys[3].layers[1].ibmkey, 44);
  EXPECT_EQ(def->keys[4].layers[2].ibmkey, 0);
  const model::KeyLayer& shared = def->keys[2].layers[3];
  EXPECT_EQ(shared.used, 1);
  EXPECT_EQ(shared.ibmkey, def->keys[1].layers[0].ibmkey);
  EXPECT_EQ(shared.scan2code, 0x32);
  EXPECT_EQ(shared.scan3code, 0x33);
  EXPECT_EQ(shared.usbcode, 0x04);
  EXPECT_EQ(def->keys[2].complete, 1);
  EXPECT_EQ(def->keys[5].complete, 0);
  EXPECT_EQ(def->keys[2].layers[0].used, 0);
}

TEST_F(ReaderTest, KeyModeOrderFollowsTheFirmwareAndLeavesTheImage) {
  for (const auto& [firmware, expected] :
       {std::pair{600, 0x21}, {500, 0x21}, {699, 0x21}, {499, 0x44}, {700, 0x44}, {1420, 0x44}}) {
    PutKey(0, 0, 0, model::NORMAL_KEY, 0x1C, 0x04, 0x44);
    Decode(firmware);
    EXPECT_EQ(def->keys[0].layers[0].keymode, expected) << firmware;
    EXPECT_EQ(image[region::KeyMode], 0x44) << firmware;  // a read-back copy stays as read
  }
}

TEST_F(ReaderTest, NumberOfStringsFollowsTheHighestExaminedStringKey) {
  PutKey(0, 0, 5, model::STRING_KEY, 7, 7);
  PutKey(1, 0, 9, model::STRING_KEY, 2, 2);
  PutKey(2, 0, 200, model::STRING_KEY, 60, 60);  // not counted, but its string comes back
  PutPointer(60, 0x900);
  PutPointer(90, 0x900);  // as does a string no key refers to
  PutStroke(0x900, 0x04);
  std::fill_n(image.begin() + 0x904, 4, 0x00);
  Decode();
  EXPECT_EQ(settings.NumberOfStrings, 3);
  EXPECT_EQ(def->keys[2].layers[0].ibmkey, 60);
  for (int s : {60, 90}) {
    EXPECT_EQ(Row(s)[0].characterUSB, 0x04) << s;
    EXPECT_TRUE(Row(s)[1].IsTerminator()) << s;
  }
}

TEST_F(ReaderTest, StringReplacesTheStartOfItsRow) {
  test::SetString(*def, 3, 10);
  PutKey(0, 0, 0, model::STRING_KEY, 3, 3);
  PutPointer(3, 0x910);
  for (std::size_t i = 0; i < 3; ++i) PutStroke(0x910 + 4 * i, static_cast<std::uint8_t>(0x10 + i));
  PutStroke(0x91C, 0x00);  // a modifier-only stroke is one of the string's
  std::fill_n(image.begin() + 0x920, 4, 0x00);
  Decode();
  EXPECT_EQ(model::StringLength(Row(3)), 4);
  EXPECT_EQ(Row(3)[2].characterUSB, 0x12);
  EXPECT_EQ(Row(3)[3].modifier, 0x02);
  EXPECT_TRUE(Row(3)[4].IsTerminator());
  EXPECT_EQ(Row(3)[5], test::Stroke(5));
  EXPECT_EQ(def->stringIndex[3], 0x910);
}

TEST_F(ReaderTest, DamagedStringNumbersAndPointersAreSkipped) {
  for (int s : {1, 2, 3, 4}) {
    PutKey(s, 0, static_cast<std::uint8_t>(s), model::STRING_KEY, static_cast<std::uint8_t>(s), 0);
    test::SetString(*def, s, 5);
  }
  PutKey(0, 0, 6, model::STRING_KEY, 128, 0);  // no row of that number
  PutPointer(1, 0x08FC);
  PutPointer(2, 0x0C00);
  PutPointer(3, 0x0BFE);  // its stroke would reach past the store
  PutPointer(4, 0x8900);  // negative as a signed pointer
  Decode();
  EXPECT_EQ(settings.NumberOfStrings, 129);
  EXPECT_EQ(def->keys[0].layers[0].ibmkey, 128);
  for (int s : {1, 2, 3, 4}) EXPECT_EQ(Row(s)[0], test::Stroke(0)) << s;
}

TEST_F(ReaderTest, StringReadingStopsAtTheStoreEndAndKeepsATerminator) {
  PutKey(0, 0, 0, model::STRING_KEY, 0, 0);
  PutKey(1, 0, 1, model::STRING_KEY, 1, 1);
  PutPointer(0, 0x0BF8);
  PutPointer(1, 0x0900);
  for (std::size_t at = 0x900; at < 0xC00; at += 4) PutStroke(at, 0x20);
  Decode();
  EXPECT_EQ(model::StringLength(Row(0)), 2);
  EXPECT_EQ(model::StringLength(Row(1)), model::kMaxStringStrokes);
  EXPECT_TRUE(Row(1)[model::kMaxStringStrokes].IsTerminator());
}

TEST_F(ReaderTest, StoreAndIndexTreatErasedBytesAsEmpty) {
  PutPointer(0, 0x0904);
  PutPointer(1, 0xFF04);
  PutStroke(0x900, 0x30);
  Decode();
  EXPECT_EQ(def->stringIndex[0], 0x904);
  EXPECT_EQ(def->stringIndex[1], 0);
  EXPECT_EQ(def->stringStore[0].characterUSB, 0x30);
  EXPECT_TRUE(def->stringStore[1].IsTerminator());
}

}  // namespace
}  // namespace veltrane::eeprom
