// SPDX-License-Identifier: MIT
// The binary configuration file (".DAT"): header, the 128 key records, the
// string index and the string character store. Three generations are read,
// told apart by their length; the current one is always written.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "fileaccess/status.h"
#include "model/definition.h"
#include "persist/header_image.h"

namespace veltrane::persist {

inline constexpr std::size_t kConfigFileSize = 20628;         // current generation
inline constexpr std::size_t kEarlierConfigFileSize = 20624;  // without the scroll-wheel field
inline constexpr std::size_t kOldestConfigFileSize = 16528;   // with 112-byte key records
inline constexpr std::size_t kKeyRecordSize = 144;
inline constexpr std::size_t kOldKeyRecordSize = 112;
inline constexpr std::size_t kLayerRecordSize = 20;
inline constexpr std::size_t kTrailerSize = 1024;

inline constexpr std::int32_t kWrittenVersionMinor = 0;
inline constexpr std::int32_t kWrittenVersionMajor = 5;

// How a load ended, and what the header got:
//   Loaded           the file's header
//   CannotOpen       the file could not be read, or is not a regular file;
//                    header untouched
//   Incompatible     major version below 4; header untouched
//   BadMinorVersion  minor version outside 0..2; header untouched
//   BadLength        not one of the three lengths (a longer file is read only
//                    to one byte past the longest); the header from the
//                    file's first 144 bytes
// On every path but CannotOpen the string store has been cleared first.
enum class LoadOutcome { Loaded, CannotOpen, Incompatible, BadMinorVersion, BadLength };

// A load's outcome with what the user is to be told of it.
struct ConfigLoad {
  LoadOutcome outcome = LoadOutcome::Loaded;
  std::string
      reason;  // CannotOpen of what is no regular file: "x.DAT is a FIFO, not a regular file"
  std::int32_t major = 0;  // BadMinorVersion: the versions the file gives
  std::int32_t minor = 0;
  bool definitionText = false;  // not loaded: the bytes are a definition text (JSON) instead

  bool ok() const { return outcome == LoadOutcome::Loaded; }
  friend bool operator==(const ConfigLoad& load, LoadOutcome outcome) {
    return load.outcome == outcome;
  }
};

// Clears the keys, then reads the file into the definition and the header. It
// shows nothing and does not apply the header to the definition's settings:
// the caller does that (FromHeader) when it keeps the load.
ConfigLoad ReadConfigFile(const std::string& path, model::KeyboardDefinition& def,
                          HeaderImage& header);

// ReadConfigFile over a file already read (standard input, say), at most one
// byte longer than the longest generation.
ConfigLoad LoadConfigBytes(std::span<const std::uint8_t> file, model::KeyboardDefinition& def,
                           HeaderImage& header);

// Whether the bytes are a configuration file a load takes: one of the three
// lengths, with a version it reads.
bool LooksLikeConfigFile(std::span<const std::uint8_t> file);

// Everything ReadConfigFile does once the file is open, over its bytes in
// memory. It does not clear the keys: a caller wanting the keys at their
// defaults on a failed load calls model::ClearKeys first. Any input is safe;
// nothing outside `file` is read.
LoadOutcome DecodeConfigFile(std::span<const std::uint8_t> file, model::KeyboardDefinition& def,
                             HeaderImage& header);

// The current-generation file. `header` is first filled from the settings
// (ToHeader: its reserved bytes are left as they are); the file is that
// header, the key matrix, the string index, the string character store and a
// zero trailer.
std::array<std::uint8_t, kConfigFileSize> EncodeConfigFile(const model::KeyboardDefinition& def,
                                                           HeaderImage& header);

// Writes the file in one piece through fileaccess::ReplaceFile, so a failed
// save never damages an existing file. Shows nothing; the status gives the
// reason of a failure; `header` is filled only when the file was written.
fileaccess::Status WriteConfigFile(const std::string& path, const model::KeyboardDefinition& def,
                                   HeaderImage& header);

}  // namespace veltrane::persist
