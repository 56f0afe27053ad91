// SPDX-License-Identifier: MIT
// Byte layouts of the three feature reports the keyboard understands.
#pragma once

#include <cstdint>

#include "link/device_layer.h"

namespace veltrane::link {

// Block addresses lie below this; byte 2's top bit marks a read request.
inline constexpr std::uint32_t kBlockAddressEnd = 0x8000;
// A read request at 0x7F00..0x7FFF carries 0xFF in byte 2: the form of a
// control write, so reads stop below 0x7F00.
inline constexpr std::uint32_t kReadAddressEnd = 0x7F00;
inline constexpr std::uint32_t kControlFirst = 0xFF00;
inline constexpr std::uint32_t kControlLast = 0xFFFF;
inline constexpr std::uint8_t kReadFlag = 0x80;
inline constexpr std::uint8_t kReadMarker = 0x7A;  // 'z' in byte 6 of a read request
inline constexpr std::uint8_t kControlMarker = 0xFF;

// Address bits 0..15 in bytes 1 and 2, the four data bytes in 3..6.
inline FeatureReport WriteReport(std::uint32_t address, const std::uint8_t* data) {
  return {0x00,
          static_cast<std::uint8_t>(address & 0xFF),
          static_cast<std::uint8_t>((address >> 8) & 0xFF),
          data[0],
          data[1],
          data[2],
          data[3]};
}

// The reply arrives in the same 7 bytes with the data in bytes 3..6.
inline FeatureReport ReadRequest(std::uint32_t address) {
  return {0x00,
          static_cast<std::uint8_t>(address & 0xFF),
          static_cast<std::uint8_t>(((address >> 8) & 0xFF) + kReadFlag),
          0x00,
          0x00,
          0x00,
          kReadMarker};
}

inline FeatureReport ControlWrite(std::uint32_t address, const std::uint8_t* data) {
  return {
      0x00,   static_cast<std::uint8_t>(address & 0xFF), kControlMarker, data[0], data[1], data[2],
      data[3]};
}

}  // namespace veltrane::link
