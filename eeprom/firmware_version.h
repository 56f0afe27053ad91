// SPDX-License-Identifier: MIT
// The firmware version number and the image layouts that depend on it.
#pragma once

#include <cstdint>
#include <string_view>

namespace veltrane::eeprom {

// 'V' followed by four characters c1..c4 gives the sum of (c - '0') weighted
// 1000, 100, 10, 1; the characters are not checked for digits. Any other text,
// also one shorter than five characters, gives 0 (no keyboard).
int FirmwareVersionFromText(std::string_view versionText);

// Firmware 500..699 orders the key mode bits CTRL, SHIFT, ALT and puts ALT-GR
// at 0x40, and reads the scan-row byte of the general info table.
bool UsesFirmwareKeyModeOrder(int firmwareVersion);

// Firmware 1415..1499 wires the LEDs to other output bits.
bool UsesAlternateLedBits(int firmwareVersion);

// Definition order to firmware 500..699 order, and back.
std::uint8_t KeyModeToFirmware(std::uint8_t keymode);
std::uint8_t KeyModeFromFirmware(std::uint8_t stored);

// Output bit of LED 0..3 (Led1..Led4) for the firmware.
std::uint8_t LedOutputBit(int led, int firmwareVersion);

}  // namespace veltrane::eeprom
