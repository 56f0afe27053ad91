// SPDX-License-Identifier: MIT
// Serial numbers handed out one per keyboard: a text whose trailing digits
// count up with their width kept (SN000123, SN000124; A9, A10).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace veltrane::station {

// The image's serial field holds 31 characters.
inline constexpr std::size_t kSerialLimit = 31;

struct SerialSequence {
  std::string prefix;  // the text before the trailing digits
  std::string digits;  // the first serial's trailing digits
};

// FIRST split into its text and its trailing digits. Refused with a reason a
// user can read: no trailing digit, more than 31 characters, a character
// outside printable ASCII.
std::optional<SerialSequence> ParseSerialSequence(std::string_view first, std::string& error);

// The digits plus n, width kept and one digit more past all nines
// ("0099" + 1 = "0100", "99" + 1 = "100").
std::string AddToDigits(std::string_view digits, std::uint64_t n);

}  // namespace veltrane::station
