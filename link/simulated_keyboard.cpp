// SPDX-License-Identifier: MIT
#include "link/simulated_keyboard.h"

#include <algorithm>
#include <cstring>

#include "fileaccess/read_file.h"
#include "fileaccess/replace_file.h"
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

void ControlWrite(SimulatedKeyboard& keyboard, const FeatureReport& report) {
  // Only the matrix switch at 0xFF00 is known; other control writes are ignored.
  if (report[1] != 0x00) return;
  if (report[6] != NIRVEX_MATRIX_ON && report[6] != NIRVEX_MATRIX_OFF) return;
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
  const fileaccess::ReadResult file = fileaccess::ReadFile(path, kSimulatedFileSize);
  if (file.error == fileaccess::ReadError::NotFound) return LoadResult::Absent;
  if (!file.ok() || file.bytes.size() != kSimulatedFileSize ||
      std::memcmp(file.bytes.data(), kFileMagic, sizeof kFileMagic) != 0)
    return LoadResult::Damaged;
  std::copy_n(file.bytes.begin() + kMemoryOffset, kSimulatedMemorySize, keyboard.memory.begin());
  keyboard.matrixSwitch = file.bytes[kSwitchOffset];
  return LoadResult::Loaded;
}

fileaccess::Status SaveKeyboard(const std::string& path, const SimulatedKeyboard& keyboard) {
  std::array<std::uint8_t, kSimulatedFileSize> bytes{};
  std::memcpy(bytes.data(), kFileMagic, sizeof kFileMagic);
  std::copy(keyboard.memory.begin(), keyboard.memory.end(), bytes.begin() + kMemoryOffset);
  bytes[kSwitchOffset] = keyboard.matrixSwitch;
  return fileaccess::ReplaceFile(path, bytes);
}

}  // namespace veltrane::link
