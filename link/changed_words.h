// SPDX-License-Identifier: MIT
// Writing a block by sending only the 4-byte words that the keyboard does not
// already hold: read it, compare, write the words that differ, read those
// back. Costs no pacing where nothing changed.
#pragma once

#include <cstdint>
#include <vector>

#include "link/block_transfer.h"
#include "link/device_layer.h"
#include "link/keyboard_open.h"
#include "link/link_status.h"

namespace veltrane::link {

// Why every word of the block was sent instead of the differing ones.
enum class FullReason : std::uint32_t { None = 0, Unread = 1, ManyDiffer = 2 };

// What reading the keyboard back after the writes found.
enum class VerifyResult : std::uint32_t { Same = 0, Differs = 1, Unread = 2, NotRun = 3 };

struct ChangedWordsReport {
  std::uint32_t words = 0;     // count / 4
  std::uint32_t toSend = 0;    // the differing words, or all of them for a full download
  std::uint32_t differed = 0;  // words the first read found differing; 0 when it failed
  std::uint32_t sent = 0;      // write reports the keyboard accepted
  FullReason full = FullReason::None;
  VerifyResult verify = VerifyResult::NotRun;
  std::uint32_t wrongBytes = 0;        // Differs: bytes of the block the keyboard holds otherwise
  std::uint32_t firstWrong = 0;        // Differs: the keyboard address of the first of them
  std::uint8_t firstWrongRead = 0;     // Differs: the byte read there
  LinkStatus status = LinkStatus::Ok;  // never Busy: the caller holds the keyboard
};

// The addresses of the 4-byte words of [address, address + count) in which
// `held` and `wanted` differ, in increasing order. Both are pictures of the
// address space (byte for address a at [a]); count is a multiple of 4.
std::vector<std::uint32_t> DifferingWords(const std::uint8_t* held, const std::uint8_t* wanted,
                                          std::uint32_t address, std::uint32_t count);

// More than half of the words differing makes a full download.
bool SendAllWords(std::uint32_t differing, std::uint32_t words);

// In one open of the keyboard: reads the block (unpaced), writes the words
// that differ from buffer[address ..] with the pacing of ProgramFirmWare, and
// reads the written words back. A block that cannot be read, or with more than
// half its words differing, is written whole and read back whole. A refused
// write shows "Setfeature returned: %d %s\n", ends the writes and is still
// followed by the read-back. Progress is called 100 times: the read up to 50,
// then the writes and the read-back; "Done" follows a verified block once the
// device is closed. The range rules are those of reads (ClassifyRead).
// Returns 1 when the keyboard was found to hold the whole block and was
// closed again, else 0.
int ProgramChangedWords(DeviceLayer& layer, LinkState& state, const std::uint8_t* buffer,
                        std::uint32_t address, std::uint32_t count, ProgressCallback progress,
                        ChangedWordsReport& report);

}  // namespace veltrane::link
