// Whole-file reads and safe whole-file writes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace veltrane::persist {

// Writes the bytes to a temporary file in the target's directory and renames it
// over the target, so that a failed write never leaves a damaged or missing
// file where a good one was. Every write, the flush and the close are checked.
bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

// The whole content of a file, or empty when it cannot be opened or read.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path);

}  // namespace veltrane::persist
