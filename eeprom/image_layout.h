// SPDX-License-Identifier: MIT
// The EEPROM image as the keyboard firmware reads it: byte tables indexed by a
// one-byte logical address, the matrix-to-address table, the general info
// block and the packed macro string store.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace veltrane::eeprom {

inline constexpr std::size_t kImageSize = 8192;
inline constexpr std::size_t kKeyboardBytes = 3072;  // what the keyboard holds and transfers
inline constexpr std::size_t kTextDumpSize = 11449;

using EepromImage = std::array<std::uint8_t, kImageSize>;

inline constexpr int kLogicalAddressCount = 256;
inline constexpr std::uint8_t kNoKeyAddress = 0xFF;
// Address 255 reads as "no key" in the Logical Address table, so one fewer fits.
inline constexpr int kMaxDistinctMeanings = kLogicalAddressCount - 1;

namespace region {
inline constexpr std::size_t ScanSet2 = 0x000;
inline constexpr std::size_t ScanSet3 = 0x100;
inline constexpr std::size_t LogicalAddress = 0x200;  // layer * 128 + key index
inline constexpr std::size_t KeyMode = 0x400;
inline constexpr std::size_t KeyInfo = 0x500;
inline constexpr std::size_t GeneralInfo = 0x600;
inline constexpr std::size_t UsbSet = 0x700;
inline constexpr std::size_t StringPointers = 0x800;
inline constexpr std::size_t StringStorage = 0x900;
inline constexpr std::size_t StorageEnd = 0xC00;
inline constexpr std::size_t TableSize = 0x100;
}  // namespace region

namespace info {
// The settings' places are in model/settings_schema; these are the rest.
inline constexpr std::size_t Zero = 0x600;
inline constexpr std::size_t LedMaskBase = 0x605;  // + LED function 1..5
inline constexpr std::size_t TextFieldLimit = 31;
inline constexpr std::size_t VersionText = 0x670;
inline constexpr std::size_t VersionTextLimit = 15;
inline constexpr std::size_t FixedBlock = 0x680;
}  // namespace info

// Written at 0x680 byte for byte; the firmware gives it its meaning.
inline constexpr std::array<std::uint8_t, 32> kFixedBlock = {
    0x80, 0x81, 0x82, 0x83, 0x85, 0x87, 0x89, 0x8B, 0x8E, 0x91, 0x94, 0x98, 0x9C, 0xA0, 0xA5, 0xAB,
    0xB2, 0xBA, 0x0A, 0x0B, 0x0C, 0x0D, 0x0F, 0x11, 0x13, 0x16, 0x1A, 0x1F, 0x25, 0x2B, 0x34, 0x3E};

inline constexpr std::size_t LogicalAddressOffset(int layer, int keyIndex) {
  return region::LogicalAddress + static_cast<std::size_t>(layer) * 128 +
         static_cast<std::size_t>(keyIndex);
}

}  // namespace veltrane::eeprom
