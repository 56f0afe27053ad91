// SPDX-License-Identifier: MIT
#include "station/serial_sequence.h"

namespace veltrane::station {

std::optional<SerialSequence> ParseSerialSequence(std::string_view first, std::string& error) {
  for (const char c : first) {
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) {
      error = "the serial number may hold printable ASCII characters only";
      return std::nullopt;
    }
  }
  if (first.size() > kSerialLimit) {
    error = "the serial number \"" + std::string(first) + "\" is longer than 31 characters";
    return std::nullopt;
  }
  std::size_t start = first.size();
  while (start > 0 && first[start - 1] >= '0' && first[start - 1] <= '9') --start;
  if (start == first.size()) {
    error = "the first serial number \"" + std::string(first) +
            "\" must end in digits, which count up for each keyboard";
    return std::nullopt;
  }
  return SerialSequence{std::string(first.substr(0, start)), std::string(first.substr(start))};
}

std::string AddToDigits(std::string_view digits, std::uint64_t n) {
  std::string sum(digits);
  for (std::size_t k = sum.size(); k > 0 && n > 0; --k) {
    const std::uint64_t d = static_cast<std::uint64_t>(sum[k - 1] - '0') + n % 10;
    n = n / 10 + d / 10;
    sum[k - 1] = static_cast<char>('0' + d % 10);
  }
  if (n > 0) sum.insert(0, std::to_string(n));
  return sum;
}

}  // namespace veltrane::station
