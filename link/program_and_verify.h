// SPDX-License-Identifier: MIT
// Writing a block and reading it back under one open of the keyboard, so that
// nothing another program sends can land between the two.
#pragma once

#include <cstdint>

#include "link/block_transfer.h"
#include "link/changed_words.h"
#include "link/link_status.h"

namespace veltrane::link {

struct ProgramVerifyReport {
  std::uint32_t sent = 0;  // write reports the keyboard accepted
  VerifyResult verify = VerifyResult::NotRun;
  std::uint32_t wrongBytes = 0;     // Differs: bytes of the block the keyboard holds otherwise
  std::uint32_t firstWrong = 0;     // Differs: the keyboard address of the first of them
  std::uint8_t firstWrongRead = 0;  // Differs: the byte read there
  LinkStatus status = LinkStatus::Ok;
};

// Opens the keyboard, writes buffer[address .. address + count) as
// ProgramFirmWare does (100 progress calls), and when every write was
// accepted reads the block back (100 more calls) and compares it. 1 when the
// keyboard holds the block and was closed again. The range is a read's
// (address + count <= 0x7F00, count a multiple of 4); a refused one sends
// nothing and calls nothing.
int ProgramAndVerify(DeviceLayer& layer, LinkState& state, const std::uint8_t* buffer,
                     std::uint32_t address, std::uint32_t count, ProgressCallback progress,
                     ProgramVerifyReport& report);

}  // namespace veltrane::link
