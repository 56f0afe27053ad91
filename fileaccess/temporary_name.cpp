// SPDX-License-Identifier: MIT
#include "fileaccess/temporary_name.h"

#include <sys/random.h>
#include <unistd.h>

#include <cstdint>

#include "fileaccess/checksum.h"

namespace veltrane::fileaccess {
namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::string_view kInfix = ".veltrane-";
constexpr std::string_view kSuffix = ".tmp";
constexpr std::size_t kPartLength = 6;
constexpr std::size_t kMaxName = 255;
constexpr std::size_t kOverhead = 1 + kInfix.size() + 2 * kPartLength + kSuffix.size();
// Keys the check characters, so that they belong to this program's temporaries alone.
constexpr std::string_view kMarkKey = "veltrane temporary file, version 1";

std::string RandomPart() {
  unsigned char random[kPartLength] = {};
  if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
    static unsigned counter = 0;
    const unsigned seed = static_cast<unsigned>(::getpid()) * 2654435761u + ++counter;
    for (std::size_t k = 0; k < sizeof random; ++k)
      random[k] = static_cast<unsigned char>(seed >> (k * 5));
  }
  std::string part;
  for (const unsigned char r : random) part += kAlphabet[r % kAlphabet.size()];
  return part;
}

std::string CheckPart(std::string_view name, std::string_view random) {
  std::uint64_t sum = Checksum(kMarkKey);
  sum = Checksum(name, sum);
  sum = Checksum(std::string_view("/", 1), sum);
  sum = Checksum(random, sum);
  std::string part;
  for (std::size_t k = 0; k < kPartLength; ++k) {
    part += kAlphabet[sum % kAlphabet.size()];
    sum /= kAlphabet.size();
  }
  return part;
}

// The name cut to `limit` bytes without splitting a UTF-8 character.
std::string_view Shortened(std::string_view name, std::size_t limit) {
  if (name.size() <= limit) return name;
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
  return name.substr(0, end);
}

bool IsAlphabetPart(std::string_view part) {
  return part.size() == kPartLength && part.find_first_not_of(kAlphabet) == std::string_view::npos;
}

}  // namespace

std::string TemporaryNameFor(std::string_view targetName) {
  const std::string_view name = Shortened(targetName, kMaxName - kOverhead);
  const std::string random = RandomPart();
  std::string result = ".";
  result.append(name).append(kInfix).append(random).append(CheckPart(name, random));
  return result.append(kSuffix);
}

bool IsTemporaryName(std::string_view name) {
  if (name.size() < kOverhead || name.front() != '.' || !name.ends_with(kSuffix)) return false;
  const std::string_view parts =
      name.substr(name.size() - kSuffix.size() - 2 * kPartLength, 2 * kPartLength);
  if (name.substr(name.size() - kOverhead + 1, kInfix.size()) != kInfix) return false;
  const std::string_view target = name.substr(1, name.size() - kOverhead);
  const std::string_view random = parts.substr(0, kPartLength);
  return IsAlphabetPart(random) && parts.substr(kPartLength) == CheckPart(target, random);
}

}  // namespace veltrane::fileaccess
