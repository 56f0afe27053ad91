// SPDX-License-Identifier: MIT
// Which image a keyboard holds, apart from its serial number: the SHA-256 of
// the 3072 bytes with the serial field made empty, and the serial itself.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace veltrane::station {

// 64 lower-case hex digits.
std::string ImageDigest(std::span<const std::uint8_t> keyboardBytes);

// The text at 0x630 up to its NUL (at most 31 characters); empty for an
// erased or short memory.
std::string SerialIn(std::span<const std::uint8_t> keyboardBytes);

}  // namespace veltrane::station
