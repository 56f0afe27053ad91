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

SerialPool::SerialPool(SerialSequence sequence, std::set<std::string> passed)
    : sequence_(std::move(sequence)), cursor_(sequence_.digits), passed_(std::move(passed)) {
  SkipUsed();
}

void SerialPool::SkipUsed() {
  while (passed_.contains(Serial(cursor_)) || held_.contains(Serial(cursor_)))
    cursor_ = AddToDigits(cursor_, 1);
}

std::string SerialPool::Peek() const {
  const std::string serial = Serial(returned_.empty() ? cursor_ : *returned_.begin());
  return serial.size() <= kSerialLimit ? serial : std::string();
}

std::string SerialPool::Take() {
  const std::string serial = Peek();
  if (serial.empty()) return serial;
  if (!returned_.empty()) {
    returned_.erase(returned_.begin());
  } else {
    cursor_ = AddToDigits(cursor_, 1);
  }
  held_.insert(serial);
  SkipUsed();
  return serial;
}

void SerialPool::Passed(const std::string& serial) {
  held_.erase(serial);
  passed_.insert(serial);
}

void SerialPool::Failed(const std::string& serial) {
  if (held_.erase(serial) == 0) return;
  returned_.insert(serial.substr(sequence_.prefix.size()));
}

bool SerialPool::Fits(std::uint64_t count) const {
  if (count == 0) return true;
  if (count <= returned_.size()) return true;
  const std::uint64_t fresh = count - returned_.size();
  return Serial(AddToDigits(cursor_, fresh - 1)).size() <= kSerialLimit;
}

}  // namespace veltrane::station
