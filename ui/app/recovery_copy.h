// SPDX-License-Identifier: MIT
// A recovery copy: what a save would write, kept while the definition has
// unsaved changes, so that a crash or a killed session loses nothing. The file
// is a line "Veltrane recovery copy 1", a line "file LENGTH:PATH" naming the
// configuration file the work belongs to (LENGTH 0 for a new definition), a
// line "checksum HEX" over the bytes that follow, an empty line, and the
// 20628 bytes of the configuration file a save would write.
#pragma once

#include <string>
#include <string_view>

#include "model/definition.h"
#include "persist/header_image.h"
#include "ui/app/document.h"

namespace veltrane::ui {

// The work a recovery copy holds.
struct RecoveredWork {
  std::string file;  // the absolute path of its configuration file; empty for a new definition
  model::KeyboardDefinition def;  // as a load leaves it: settings from the header, strings rebuilt
  persist::HeaderImage header;
};

// The configuration file the document's work belongs to: the one last loaded
// or saved, as an absolute path, or empty for a new definition.
std::string WorkFileOf(const Document& doc);

// The copy of the document as it stands; its strings are packed into a copy
// of the definition, as a save packs them.
std::string EncodeRecoveryCopy(const Document& doc);

// The work a copy holds; false, with the reason ("its checksum does not
// match what it holds"), for a copy that cannot be used.
bool DecodeRecoveryCopy(std::string_view bytes, RecoveredWork& work, std::string& reason);

// "the new definition" or the file's name, as the questions name the work.
std::string WorkName(const std::string& file);

}  // namespace veltrane::ui
