// SPDX-License-Identifier: MIT
// The keyboard's side of the wire, modelled: a 32 KiB memory that starts
// erased, write reports, read requests with their replies, and the control
// writes with the matrix switch. Kept in a file between program runs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fileaccess/status.h"
#include "link/device_layer.h"
#include "link/nirvex.h"

namespace veltrane::link {

inline constexpr std::size_t kSimulatedMemorySize = 0x8000;
inline constexpr std::uint8_t kErasedByte = 0xFF;

using SimulatedMemory = std::array<std::uint8_t, kSimulatedMemorySize>;

constexpr SimulatedMemory ErasedMemory() {
  SimulatedMemory memory{};
  memory.fill(kErasedByte);
  return memory;
}

struct SimulatedKeyboard {
  SimulatedMemory memory = ErasedMemory();
  std::uint8_t matrixSwitch = NIRVEX_MATRIX_OFF;  // the last switch byte written to 0xFF00
  FeatureReport reply{};                          // what the next get-feature returns
  bool changed = false;                           // memory or switch differ from the file
};

// Applies a set-feature report; false for one the firmware does not accept
// (a report ID other than 0, a read request without its zero bytes and 'z').
bool AcceptSetFeature(SimulatedKeyboard& keyboard, const FeatureReport& report);

inline bool MatrixEnabled(const SimulatedKeyboard& keyboard) {
  return keyboard.matrixSwitch == NIRVEX_MATRIX_ON;
}

// File layout: "NVXSIM01", the 32768 memory bytes, the matrix switch byte.
inline constexpr std::size_t kSimulatedFileSize = 8 + kSimulatedMemorySize + 1;

enum class LoadResult { Loaded, Absent, Damaged };

// An absent file is an erased keyboard; a damaged one (or what is not a
// regular file) is left as it is.
LoadResult LoadKeyboard(const std::string& path, SimulatedKeyboard& keyboard);
// Through fileaccess::ReplaceFile: the file keeps its permission bits and a
// link to it stays a link.
fileaccess::Status SaveKeyboard(const std::string& path, const SimulatedKeyboard& keyboard);

}  // namespace veltrane::link
