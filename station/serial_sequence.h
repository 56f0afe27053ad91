// Serial numbers handed out one per keyboard: a text whose trailing digits
// count up with their width kept (SN000123, SN000124; A9, A10).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
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

// Orders digit strings by the number they write: shorter first, then by text.
struct ByNumber {
  bool operator()(const std::string& a, const std::string& b) const {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
  }
};

// The serials of one run of a station. Never hands out a serial that passed
// (logged before, or in this run) or that a running keyboard holds; the
// serial of a keyboard that failed comes back, lowest first, since the log
// says it never passed.
class SerialPool {
 public:
  SerialPool(SerialSequence sequence, std::set<std::string> passed);

  // The serial Take would hand out; empty when it would exceed 31 characters.
  std::string Peek() const;
  // Holds and returns the next serial; empty when none fits.
  std::string Take();
  void Passed(const std::string& serial);
  void Failed(const std::string& serial);
  // Whether `count` more serials fit in 31 characters, ignoring the ones to skip.
  bool Fits(std::uint64_t count) const;

 private:
  std::string Serial(const std::string& digits) const { return sequence_.prefix + digits; }
  void SkipUsed();

  SerialSequence sequence_;
  std::string cursor_;  // digits of the next serial never handed out
  std::set<std::string> passed_;
  std::set<std::string> held_;
  std::set<std::string, ByNumber> returned_;  // digits of failed serials, below the cursor
};

}  // namespace veltrane::station
