// SPDX-License-Identifier: MIT
// Standard input and output as the commands use them: "-" for a file name,
// every write and the final flush checked.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "fileaccess/read_file.h"

namespace veltrane::cli {

// The file name that stands for standard input or standard output.
inline bool IsStandardStream(std::string_view path) {
  return path == "-";
}

// How messages name the streams.
inline constexpr std::string_view kStandardInputName = "standard input";
inline constexpr std::string_view kStandardOutputName = "standard output";

// All of standard input, at most maxBytes (TooLarge past it); a failure's
// reason names "standard input".
fileaccess::ReadResult ReadStandardInput(std::size_t maxBytes);

// Writes the bytes to standard output; false when they could not all be
// written. The first failure is kept for FinishStandardOutput.
bool WriteStandardOutput(std::string_view bytes);

// Binary output is not written to a terminal: true, with the message
// "veltrane-cli: standard output is a terminal; ...", when it is one.
bool RefuseBinaryToTerminal(std::string_view what);

// The run's exit status once standard output has been flushed: `status`, or
// `failed` when a write or the flush failed. A failure is told as
// "veltrane-cli: cannot write standard output: REASON", except a closed pipe
// (a reader such as head that has read enough), which ends the run quietly.
int FinishStandardOutput(int status, int failed);

}  // namespace veltrane::cli
