// SPDX-License-Identifier: MIT
#include "eeprom/firmware_version.h"

#include <array>

namespace veltrane::eeprom {

int FirmwareVersionFromText(std::string_view versionText) {
  if (versionText.size() < 5 || versionText[0] != 'V') return 0;
  int version = 0;
  for (std::size_t i = 1; i < 5; ++i) version = version * 10 + (versionText[i] - '0');
  return version;
}

bool UsesFirmwareKeyModeOrder(int firmwareVersion) {
  return firmwareVersion >= 500 && firmwareVersion <= 699;
}

bool UsesAlternateLedBits(int firmwareVersion) {
  return firmwareVersion >= 1415 && firmwareVersion <= 1499;
}

std::uint8_t KeyModeToFirmware(std::uint8_t keymode) {
  std::uint8_t stored = keymode & 0xD8;
  if (keymode & 0x01) stored |= 0x04;
  if (keymode & 0x02) stored |= 0x01;
  if (keymode & 0x04) stored |= 0x02;
  if (keymode & 0x20) stored |= 0x40;
  return stored;
}

std::uint8_t KeyModeFromFirmware(std::uint8_t stored) {
  std::uint8_t keymode = stored & 0xB8;
  if (stored & 0x01) keymode |= 0x02;
  if (stored & 0x02) keymode |= 0x04;
  if (stored & 0x04) keymode |= 0x01;
  if (stored & 0x40) keymode |= 0x20;
  return keymode;
}

std::uint8_t LedOutputBit(int led, int firmwareVersion) {
  static constexpr std::array<std::uint8_t, 4> kAlternate = {0x08, 0x40, 0x04, 0x00};
  static constexpr std::array<std::uint8_t, 4> kUsual = {0x04, 0x08, 0x10, 0x20};
  if (led < 0 || led > 3) return 0;
  const auto index = static_cast<std::size_t>(led);
  return UsesAlternateLedBits(firmwareVersion) ? kAlternate[index] : kUsual[index];
}

}  // namespace veltrane::eeprom
