// SPDX-License-Identifier: MIT
#include "eeprom/image_builder.h"

#include <gtest/gtest.h>

#include "eeprom/firmware_version.h"
#include "eeprom_test_support.h"
#include "model/key_tables.h"

namespace veltrane::eeprom {
namespace {

using test::Layer;
using test::UseString;
using test::UseTableKey;

class BuilderTest : public ::testing::Test {
 protected:
  BuildResult Build(int firmware = 0, std::string_view version = "") {
    dropped = model::FlattenStrings(*def);
    return BuildImage(*def, version, firmware, image, &log);
  }
  int dropped = 0;
  bool AllBytes(std::size_t from, std::size_t to, std::uint8_t value) const {
    for (std::size_t i = from; i < to; ++i)
      if (image[i] != value) return false;
    return true;
  }

  std::unique_ptr<model::KeyboardDefinition> def = test::StartUpDefinition();
  EepromImage image = test::FilledImage(0x5A);
  test::CapturedLog log;
};

// The golden dump of the empty definition holds 0x000..0xBFF byte for byte.
TEST_F(BuilderTest, EmptyDefinitionClearsTheUnusedRest) {
  const BuildResult result = Build();
  EXPECT_EQ(result.distinctMeanings, 0);
  EXPECT_TRUE(result.fits);
  EXPECT_TRUE(AllBytes(0xC00, kImageSize, 0x00));
}

TEST_F(BuilderTest, SingleKeyGetsAddressZero) {
  UseTableKey(*def, 0, 0, 0, 1);
  Build();
  EXPECT_EQ(image[0x000], 0x0E);
  EXPECT_EQ(image[0x100], 0x0E);
  EXPECT_EQ(image[0x200], 0x00);
  EXPECT_EQ(image[0x400], 0x00);
  EXPECT_EQ(image[0x500], 0x00);
  EXPECT_EQ(image[0x700], 0x35);
  EXPECT_TRUE(AllBytes(0x001, 0x100, 0xFF));
  EXPECT_TRUE(AllBytes(0x201, 0x400, 0xFF));
  EXPECT_TRUE(AllBytes(0x501, 0x600, 0x0F));
}

TEST_F(BuilderTest, AddressesFollowFirstAppearanceAndSharing) {
  UseTableKey(*def, 2, 5, 3, 2);
  UseTableKey(*def, 0, 1, 1, 3);
  UseTableKey(*def, 7, 7, 0, 3);  // same meaning as (0,1) layer 1
  // Codes come from the table: a stale code or another row with the same
  // codes writes the same bytes, and so shares the address.
  UseTableKey(*def, 9, 0, 2, 3).scan2code = 0x77;
  UseTableKey(*def, 9, 1, 0, 14);
  UseTableKey(*def, 9, 2, 0, 59);  // codes 00 00 00, as row 14's
  UseTableKey(*def, 9, 3, 0, 3, 0x04);
  const BuildResult result = Build();
  EXPECT_EQ(result.distinctMeanings, 4);
  EXPECT_EQ(image[0x200 + 128 + 1], 0);
  EXPECT_EQ(image[0x395], 1);
  EXPECT_EQ(image[0x200 + 7 * 8 + 7], 0);
  EXPECT_EQ(image[0x200 + 256 + 9 * 8], 0);
  EXPECT_EQ(image[0x200 + 9 * 8 + 1], 2);
  EXPECT_EQ(image[0x200 + 9 * 8 + 2], 2);
  EXPECT_EQ(image[0x200 + 9 * 8 + 3], 3);
  EXPECT_EQ(image[0x000], 0x1E);
  EXPECT_EQ(image[0x700], 0x1F);
  EXPECT_EQ(image[0x403], 0x04);
  EXPECT_TRUE(AllBytes(0x004, 0x100, 0xFF));
}

TEST_F(BuilderTest, KeyModesThatTheFirmwareReadsAlikeShareAnAddress) {
  UseTableKey(*def, 0, 0, 0, 3, 0x20);  // ALT-GR
  UseTableKey(*def, 0, 1, 0, 3, 0x40);  // an undefined bit, at ALT-GR's place for 500..699
  EXPECT_EQ(Build(600).distinctMeanings, 1);
  EXPECT_EQ(image[0x201], 0);
  EXPECT_EQ(image[0x400], 0x40);
  EXPECT_EQ(Build(1420).distinctMeanings, 2);
}

TEST_F(BuilderTest, LayersOfUnusedKeyTakeNoAddress) {
  def->keys[0].used = 0;
  UseTableKey(*def, 0, 0, 0, 2);
  UseTableKey(*def, 0, 0, 1, 4);
  UseTableKey(*def, 0, 1, 0, 5);
  UseTableKey(*def, 3, 0, 0, 4);
  Build();
  EXPECT_EQ(image[0x200], 0xFF);
  EXPECT_EQ(image[0x280], 0xFF);
  EXPECT_EQ(image[0x201], 0);
  EXPECT_EQ(image[0x218], 1);
  EXPECT_EQ(image[0x000], 0x25);
  EXPECT_EQ(image[0x001], 0x26);
  // No address is left with its fillers between placed ones.
  EXPECT_EQ(image[0x002], 0xFF);
  EXPECT_EQ(image[0x502], 0x0F);
}

TEST_F(BuilderTest, StringKeysCarryTheirNumberUnlessLightFlagged) {
  UseString(*def, 0, 0, 0, 5);
  UseString(*def, 0, 1, 0, 5).keytype = model::STRING_KEY | model::KEYTYPE_LIGHT_DOWN;
  UseString(*def, 0, 2, 0, 300);  // a wide number keeps its low byte
  Build();
  EXPECT_EQ(image[0x000], 5);
  EXPECT_EQ(image[0x100], 5);
  EXPECT_EQ(image[0x700], 5);
  EXPECT_EQ(image[0x500], 17);
  EXPECT_EQ(image[0x001], 0x25);  // placed as IbmKeyTable row 5
  EXPECT_EQ(image[0x701], 0x21);
  EXPECT_EQ(image[0x501], 0x51);
  EXPECT_EQ(image[0x002], 300 & 0xFF);
}

TEST_F(BuilderTest, InvalidIbmKeyIsPlacedAsNoKeyAndReported) {
  for (int column : {0, 1, 2}) UseTableKey(*def, 4, column, 2, 1);
  Layer(*def, 4, 0, 2).ibmkey = 159;
  Layer(*def, 4, 1, 2).ibmkey = 255;
  Layer(*def, 4, 2, 2).ibmkey = -1;
  const BuildResult result = Build();
  EXPECT_EQ(result.invalidIbmKeys, 3);
  EXPECT_EQ(result.distinctMeanings, 1);  // all three write "No Key"
  for (int column : {0, 1, 2}) EXPECT_EQ(image[LogicalAddressOffset(2, 4 * 8 + column)], 0);
  EXPECT_EQ(image[0x000], 0xFF);
  EXPECT_EQ(image[0x100], 0xFF);
  EXPECT_EQ(image[0x700], 0x00);
  EXPECT_NE(log.text().find("Invalid ibmkey 255 at 4,1 [1,0]\n"), std::string::npos);
  EXPECT_NE(log.text().find("Invalid ibmkey -1 at 4,2 [1,0]\n"), std::string::npos);
}

// Gives `count` used layers, visited in order, each a meaning of its own.
void UseDistinctLayers(model::KeyboardDefinition& def, int count) {
  for (int v = 0; v < count; ++v) {
    const int key = v / 4;
    UseTableKey(def, key / 8, key % 8, v % 4, 1 + v / 256, static_cast<std::uint8_t>(v % 256));
  }
}

TEST_F(BuilderTest, AtMost255MeaningsFit) {
  UseDistinctLayers(*def, 255);
  BuildResult result = Build();
  EXPECT_TRUE(result.fits);
  EXPECT_EQ(result.distinctMeanings, 255);
  EXPECT_EQ(image[LogicalAddressOffset(254 % 4, 254 / 4)], 254);

  UseDistinctLayers(*def, 256);
  result = Build();
  EXPECT_FALSE(result.fits);
  EXPECT_EQ(result.distinctMeanings, 256);
  EXPECT_EQ(image[LogicalAddressOffset(255 % 4, 255 / 4)], 0xFF);
  EXPECT_EQ(image[0x0FF], 0xFF);
  EXPECT_EQ(image[0x5FF], 0x0F);
}

TEST_F(BuilderTest, OverflowCountsEachMeaningOnceAndStillPacksStrings) {
  UseDistinctLayers(*def, 300);
  UseTableKey(*def, 15, 7, 3, 1 + 299 / 256, 299 % 256);  // repeats the last meaning
  test::SetString(*def, 0, 3);
  def->stringIndex.fill(0);
  const BuildResult result = Build();
  EXPECT_FALSE(result.fits);
  EXPECT_EQ(result.distinctMeanings, 300);
  EXPECT_EQ(def->stringIndex[1], 2304 + 16);
  EXPECT_EQ(image[0x802], 0x10);
  EXPECT_NE(log.text().find("No logical address left for key 15,7 [1,1]\n"), std::string::npos);
}

TEST_F(BuilderTest, StringStoreSaturates) {
  test::SetString(*def, 0, 79);
  test::SetString(*def, 1, 79);
  test::SetString(*def, 2, 40);
  Build();
  EXPECT_EQ(dropped, 9);
  EXPECT_EQ(image[0x804] | image[0x805] << 8, 0x900 + 4 * 160);
  for (std::size_t s = 3; s < 128; ++s)
    EXPECT_EQ(image[0x800 + 2 * s] | image[0x801 + 2 * s] << 8, 0x0BFC);
  EXPECT_TRUE(AllBytes(0xBFC, 0xC00, 0x00));
  EXPECT_EQ(image[0xBF9], test::Stroke(30).characterUSB);  // stroke 31 of string 2 at slot 190
}

class FirmwareLayoutTest : public BuilderTest, public ::testing::WithParamInterface<int> {};

TEST_P(FirmwareLayoutTest, KeyModesScanRowsAndLedBitsFollowTheFirmware) {
  const int firmware = GetParam();
  const bool reordered = firmware >= 500 && firmware <= 699;
  const bool alternate = firmware >= 1415 && firmware <= 1499;
  UseTableKey(*def, 0, 0, 0, 2, model::KEYMODE_ALT | model::KEYMODE_ALTGR);
  UseTableKey(*def, 0, 0, 1, 2, model::KEYMODE_CTRL | model::KEYMODE_SHIFT | model::KEYMODE_BASE);
  def->settings.Leds[0] = 1;
  def->settings.Leds[1] = 2;
  def->settings.Leds[2] = 3;
  def->settings.Leds[3] = 4;
  def->settings.MaxScanRow = 9;
  Build(firmware);
  EXPECT_EQ(image[0x400], reordered ? 0x44 : 0x21);
  EXPECT_EQ(image[0x401], reordered ? 0x0B : 0x0E);
  EXPECT_EQ(image[0x60B], reordered ? 17 : 16);
  const std::vector<std::uint8_t> leds(image.begin() + 0x606, image.begin() + 0x60B);
  const std::vector<std::uint8_t> usual = {0x04, 0x08, 0x10, 0x20, 0x00};
  const std::vector<std::uint8_t> late = {0x08, 0x40, 0x04, 0x00, 0x00};
  EXPECT_EQ(leds, alternate ? late : usual);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, FirmwareLayoutTest,
                         ::testing::Values(0, 499, 500, 527, 600, 699, 700, 1414, 1415, 1420, 1499,
                                           1500));

TEST_F(BuilderTest, SharedLedFunctionTakesTheLowerLed) {
  def->settings.Leds[1] = 5;
  def->settings.Leds[3] = 5;
  def->settings.Leds[0] = 9;  // no such function: shows nothing
  Build();
  EXPECT_EQ(image[0x60A], 0x08);
  EXPECT_TRUE(AllBytes(0x606, 0x60A, 0x00));
}

TEST_F(BuilderTest, TextsAreCutAndSettingsOutsideTheirRangeTakeItsNearerEnd) {
  def->settings.SerialNumber = std::string(40, 'S');
  def->settings.ConfigFileName = std::string(31, 'C');
  def->settings.SerialNumber[3] = '\x1b';  // no control character reaches the keyboard
  def->settings.DebounceTime = 0x1234;
  def->settings.DefRepDelay = 3;
  def->settings.DefRepRate = -1;
  for (std::size_t i = 0; i < 20; ++i)
    def->settings.PointDeviceParams[i] = static_cast<std::uint8_t>(100 + i);
  Build(0, "V1420 abcdefghijklmno");
  EXPECT_TRUE(AllBytes(0x610, 0x62F, 'C'));
  EXPECT_EQ(image[0x62F], 0x00);
  EXPECT_TRUE(AllBytes(0x630, 0x64E, 'S'));
  EXPECT_EQ(image[0x64F], 0x00);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[0x670])), "V1420 abcdefghi");
  EXPECT_EQ(image[0x67F], 0x00);
  EXPECT_EQ(image[0x605], 255);  // capped, not cut to its low byte 0x34
  EXPECT_EQ(image[0x604], 0);
  EXPECT_EQ(image[0x603], 3);
  EXPECT_EQ(image[0x650], 100);
  EXPECT_EQ(image[0x651], 3);
  EXPECT_EQ(image[0x652], 102);
  EXPECT_EQ(image[0x663], 119);
}

TEST_F(BuilderTest, LogOfASmallBuild) {
  UseTableKey(*def, 0, 1, 0, 2);
  UseTableKey(*def, 0, 1, 3, 2);
  UseString(*def, 1, 2, 1, 4);
  Build();
  EXPECT_EQ(log.text(),
            "Setting up\n"
            "Reducing keys\n"
            "Inserting key 0,1 [0,0] at 0 -added 0 , 2 , 0 , 0 , 22 \n"
            "\tFound duplicate at 0 , [1,1] \n"
            "Inserting key 1,2 [0,1] at 1 -added 1 , 4 , 0 , 17 , 0 \n"
            "Writing Keys\n"
            "Normal key: 0, 2, 0 at 0,1\n"
            "Normal key: 0, 2, 0 at 0,1\n"
            "String: 4 at 1,2\n"
            "Copying String\n");
}

}  // namespace
}  // namespace veltrane::eeprom
