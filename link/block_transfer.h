// SPDX-License-Identifier: MIT
// Writing and reading blocks of keyboard memory four bytes per feature
// report, and the control writes at 0xFF00..0xFFFF.
#pragma once

#include <cstdint>

#include "link/device_layer.h"
#include "link/keyboard_open.h"
#include "link/transfer_messages.h"

namespace veltrane::link {

using ProgressCallback = int (*)(int step);

inline constexpr int kProgressCalls = 100;

enum class TransferKind { Block, Control, Refused };

// Block: address + count <= 0x8000 (0x7F00 for reads) without wrapping, count
// a multiple of 4, a buffer unless count is 0. Control (writes only):
// 0xFF00..0xFFFF with a buffer of at least 4 bytes. Anything else is refused
// before the keyboard is looked for.
TransferKind ClassifyWrite(const std::uint8_t* buffer, std::uint32_t address, std::uint32_t count);
TransferKind ClassifyRead(const std::uint8_t* buffer, std::uint32_t address, std::uint32_t count);

// Firmware versions V00xx..V04xx and V14xx need 16 ms after each accepted write
// (link/pacing.h).
bool NeedsPacing(const LinkState& state);

// The block steps of ProgramFirmWare and ReadFirmWare on a keyboard already
// open, each with its 100 progress calls: the bytes written (up to the first
// refused report, which is shown) or read (up to the first failed report).
std::uint32_t WriteOpenBlock(DeviceLayer& layer, const LinkState& state, DeviceHandle handle,
                             const std::uint8_t* buffer, std::uint32_t address, std::uint32_t count,
                             ProgressCallback progress);
std::uint32_t ReadOpenBlock(DeviceLayer& layer, DeviceHandle handle, std::uint8_t* buffer,
                            std::uint32_t address, std::uint32_t count, ProgressCallback progress);

// 1 when every report was accepted, 0 when no keyboard was found, a report was
// refused or the request was refused. buffer[address + k] goes to address + k;
// a control write takes buffer[0..3].
int ProgramFirmWare(DeviceLayer& layer, LinkState& state, const std::uint8_t* buffer,
                    std::uint32_t address, std::uint32_t count, ProgressCallback progress);

// 1 only when all `count` bytes were read into buffer[address ..] and the
// device closed again.
int ReadFirmWare(DeviceLayer& layer, LinkState& state, std::uint8_t* buffer, std::uint32_t address,
                 std::uint32_t count, ProgressCallback progress);

}  // namespace veltrane::link
