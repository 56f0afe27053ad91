// SPDX-License-Identifier: MIT
// A 64-bit FNV-1a checksum: tells a damaged file from a whole one and the
// program's own names from a user's. It guards against accidents, not attacks.
#pragma once

#include <cstdint>
#include <string_view>

namespace veltrane::fileaccess {

inline constexpr std::uint64_t kChecksumStart = 0xcbf29ce484222325ull;

inline std::uint64_t Checksum(std::string_view bytes, std::uint64_t sum = kChecksumStart) {
  for (const char c : bytes) {
    sum ^= static_cast<unsigned char>(c);
    sum *= 0x100000001b3ull;
  }
  return sum;
}

}  // namespace veltrane::fileaccess
