#include "link/simulated_keyboard.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <span>

#include "link/feature_reports.h"

namespace veltrane::link {
namespace {

constexpr char kFileMagic[8] = {'N', 'V', 'X', 'S', 'I', 'M', '0', '1'};
constexpr std::size_t kMemoryOffset = sizeof kFileMagic;
constexpr std::size_t kSwitchOffset = kMemoryOffset + kSimulatedMemorySize;

// Addresses wrap within the 32 KiB memory.
std::size_t Cell(std::uint32_t address) {
  return address & (kSimulatedMemorySize - 1);
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  std::string temp = path + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  int code = 0;
  if (::fchmod(fd, 0644) != 0 || !WriteAll(fd, bytes) || ::fsync(fd) != 0)
    code = errno != 0 ? errno : EIO;
  if (::close(fd) != 0 && code == 0) code = errno;
  if (code == 0 && ::rename(temp.c_str(), path.c_str()) != 0) code = errno;
  if (code == 0) return true;
  ::unlink(temp.c_str());
  errno = code;
  return false;
}

void ControlWrite(SimulatedKeyboard& keyboard, const FeatureReport& report) {
  // Only the matrix switch at 0xFF00 is known; other control writes are ignored.
  if (report[1] != 0x00) return;
  if (report[6] != kMatrixOn && report[6] != kMatrixOff) return;
  keyboard.changed = keyboard.changed || keyboard.matrixSwitch != report[6];
  keyboard.matrixSwitch = report[6];
}

bool ReadRequest(SimulatedKeyboard& keyboard, const FeatureReport& report) {
  if (report[3] != 0 || report[4] != 0 || report[5] != 0 || report[6] != kReadMarker) return false;
  const std::uint32_t address = report[1] | std::uint32_t{report[2] & 0x7Fu} << 8;
  keyboard.reply = report;
  for (std::uint32_t k = 0; k < 4; ++k) keyboard.reply[3 + k] = keyboard.memory[Cell(address + k)];
  return true;
}

void WriteReport(SimulatedKeyboard& keyboard, const FeatureReport& report) {
  const std::uint32_t address = report[1] | std::uint32_t{report[2]} << 8;
  for (std::uint32_t k = 0; k < 4; ++k) {
    std::uint8_t& cell = keyboard.memory[Cell(address + k)];
    keyboard.changed = keyboard.changed || cell != report[3 + k];
    cell = report[3 + k];
  }
}

}  // namespace

bool AcceptSetFeature(SimulatedKeyboard& keyboard, const FeatureReport& report) {
  if (report[0] != 0x00) return false;
  if (report[2] == kControlMarker) {
    ControlWrite(keyboard, report);
    return true;
  }
  if ((report[2] & kReadFlag) != 0) return ReadRequest(keyboard, report);
  WriteReport(keyboard, report);
  return true;
}

LoadResult LoadKeyboard(const std::string& path, SimulatedKeyboard& keyboard) {
  keyboard = SimulatedKeyboard{};
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return errno == ENOENT ? LoadResult::Absent : LoadResult::Damaged;
  std::array<std::uint8_t, kSimulatedFileSize + 1> bytes{};
  const std::size_t length = std::fread(bytes.data(), 1, bytes.size(), file);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed || length != kSimulatedFileSize ||
      std::memcmp(bytes.data(), kFileMagic, sizeof kFileMagic) != 0)
    return LoadResult::Damaged;
  std::copy_n(bytes.begin() + kMemoryOffset, kSimulatedMemorySize, keyboard.memory.begin());
  keyboard.matrixSwitch = bytes[kSwitchOffset];
  return LoadResult::Loaded;
}

bool SaveKeyboard(const std::string& path, const SimulatedKeyboard& keyboard) {
  std::array<std::uint8_t, kSimulatedFileSize> bytes{};
  std::memcpy(bytes.data(), kFileMagic, sizeof kFileMagic);
  std::copy(keyboard.memory.begin(), keyboard.memory.end(), bytes.begin() + kMemoryOffset);
  bytes[kSwitchOffset] = keyboard.matrixSwitch;
  return ReplaceFile(path, bytes);
}

}  // namespace veltrane::link
