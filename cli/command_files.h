// SPDX-License-Identifier: MIT
// The files a command reads and writes as named on its command line: "-" for
// standard input or output, and the checks made before anything is written.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "cli/cli_support.h"

namespace veltrane::cli {

// Loads the configuration file at `path`, or from standard input for "-", as
// "Load settings from file" does. True when it loaded.
bool LoadConfigurationArgument(Run& run, const std::string& path);

// Loads it only to be written again (an edit): it keeps the file-name text it
// holds and names nothing, and only trouble is told. True when it loaded.
bool LoadConfigurationToRewrite(Run& run, const std::string& path);

// Writes the bytes whole to `path` (a failure is told as "Cannot open: PATH:
// REASON"), or to standard output for "-" (whose failures end the run).
// True when written.
bool WriteOutputFile(Run& run, const std::string& path, std::string_view bytes);
bool WriteOutputFile(Run& run, const std::string& path, std::span<const std::uint8_t> bytes);

// The decoded or read definition saved as ui::SaveDecodedDefinition saves it,
// or written to standard output for "-". True when written.
bool SaveDefinitionOutput(Run& run, const std::string& path);

// ui::WouldReplaceInput for names that may stand for the standard streams,
// which are never one another.
bool WouldReplaceInput(Run& run, const std::string& input, const std::string& output);

// What a file holds, told by its content.
enum class FileKind { Configuration, DefinitionText };

// Whether writing `output` would replace a file of the other kind than
// `writing` (a configuration file by JSON text, or the reverse); when it
// would and `force` is false, the user is told how to force it.
bool WouldReplaceOtherKind(Run& run, const std::string& output, FileKind writing, bool force);

}  // namespace veltrane::cli
