// SPDX-License-Identifier: MIT
#include "eeprom/firmware_version.h"

#include <gtest/gtest.h>

namespace veltrane::eeprom {
namespace {

TEST(FirmwareVersionTest, VersionTextGivesTheNumber) {
  EXPECT_EQ(FirmwareVersionFromText("V0527"), 527);
  EXPECT_EQ(FirmwareVersionFromText("V1420X keyboard"), 1420);
  EXPECT_EQ(FirmwareVersionFromText("V0000"), 0);
  // Characters are weighted as they are, digits or not.
  EXPECT_EQ(FirmwareVersionFromText("V05a7"), 500 + ('a' - '0') * 10 + 7);
}

TEST(FirmwareVersionTest, OtherTextsMeanNoKeyboard) {
  EXPECT_EQ(FirmwareVersionFromText(""), 0);
  EXPECT_EQ(FirmwareVersionFromText("V052"), 0);
  EXPECT_EQ(FirmwareVersionFromText("v0527"), 0);
  EXPECT_EQ(FirmwareVersionFromText(" V0527"), 0);
}

TEST(FirmwareVersionTest, KeyModeReorderingIsReversibleForEditorBits) {
  for (int mode = 0; mode < 0x40; ++mode) {
    const auto keymode = static_cast<std::uint8_t>(mode | 0x80);
    EXPECT_EQ(KeyModeFromFirmware(KeyModeToFirmware(keymode)), keymode) << mode;
  }
  EXPECT_EQ(KeyModeToFirmware(0x21), 0x44);
  EXPECT_EQ(KeyModeToFirmware(0x02), 0x01);
  EXPECT_EQ(KeyModeToFirmware(0x04), 0x02);
  EXPECT_EQ(KeyModeFromFirmware(0x44), 0x21);
}

}  // namespace
}  // namespace veltrane::eeprom
