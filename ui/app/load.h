// SPDX-License-Identifier: MIT
// The one way a definition comes in: a configuration file, a definition text,
// an image file or one read from the keyboard, and the file named on the
// command line. Every front end (the window, the command line, the
// production line) loads through it, with the same rules for the names, the
// data directory, the string work buffer and the settings' ranges.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "ui/app/app_state.h"
#include "ui/app/outcome.h"

namespace veltrane::ui {

enum class LoadKind {
  ConfigFile,       // a configuration file (".DAT"), from the Load File dialog or the command line
  CommandLineFile,  // the configuration file named when the window program started
  Text,             // a definition text (".json")
  ImageFile,        // an image file read back from a keyboard (decoded for FirmwareVersion)
  KeyboardImage,    // the document's image buffer, as a keyboard read just filled it
};

struct LoadSource {
  LoadKind kind = LoadKind::ConfigFile;
  // The file; with `bytes`, the name that stands for them ("-" for standard input).
  std::string path;
  // The file's bytes read already (standard input); null: the file at `path` is read.
  const std::vector<std::uint8_t>* bytes = nullptr;
  // Only the definition is wanted, to be written in another form (the command
  // line's conversions): the file or text names nothing, keeps the file-name
  // text it holds, and only failures and settings outside their ranges are told.
  bool conversion = false;
};

// Reads the source over a copy of the document; a load that fails is told
// and changes nothing at all. A load that succeeds replaces the keys, strings
// and settings (those the source carries; the pointing device's values stay
// for a configuration file, erased settings for an image) and tells, in one
// box, each setting outside its range and what is used instead. A file or
// text then says "Loaded configuration file !", warns of macros the string
// store has no room for, and belongs to the document: it names the base name
// (its name less its extension: the last four characters for a configuration
// file, ".json" for a text), the data directory (its directory; bytes read
// already keep it) and the file-name text (a configuration file's own name,
// a text's ConfigFileName or, when empty, its name); a pending command-line
// file is dropped. A keyboard's image belongs to no file. The result is the
// kept definition.
Outcome Load(AppState& app, const Services& io, const LoadSource& source);

}  // namespace veltrane::ui
