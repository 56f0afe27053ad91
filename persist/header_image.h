// SPDX-License-Identifier: MIT
// The 148-byte configuration file header kept in memory for the process.
// Fields that neither the reader nor the writer sets carry over from the last
// file read into the next file written.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace veltrane::persist {

inline constexpr std::size_t kHeaderSize = 148;
inline constexpr std::size_t kEarlierHeaderSize = 144;

namespace header {
inline constexpr std::size_t VersionMinor = 0;
inline constexpr std::size_t VersionMajor = 4;
inline constexpr std::size_t TextFieldSize = 32;
}  // namespace header
// Every setting's place in the header is in model/settings_schema.

struct HeaderImage {
  std::array<std::uint8_t, kHeaderSize> bytes{};

  std::uint32_t U32(std::size_t offset) const;
  std::int32_t I32(std::size_t offset) const { return static_cast<std::int32_t>(U32(offset)); }
  void SetU32(std::size_t offset, std::uint32_t value);
  void SetI32(std::size_t offset, std::int32_t value) {
    SetU32(offset, static_cast<std::uint32_t>(value));
  }

  // A 32-byte text field, up to its first NUL or its end.
  std::string_view Text(std::size_t offset) const;
  // Writes the text cut to 31 bytes on a character boundary, zeros to the field's end.
  void SetText(std::size_t offset, std::string_view text);
  // Writes a text of at most 32 bytes whole: one of 32 fills the field without an end mark.
  void SetWholeText(std::size_t offset, std::string_view text);
};

}  // namespace veltrane::persist
