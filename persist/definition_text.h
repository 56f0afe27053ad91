// SPDX-License-Identifier: MIT
// The definition as JSON text ("format": 1, see docs/definition-format.md):
// what a configuration file holds, for people to read, review and merge.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "fileaccess/status.h"
#include "model/definition.h"
#include "persist/header_image.h"

namespace veltrane::persist {

// Texts longer than this are refused before they are parsed.
inline constexpr std::size_t kMaxDefinitionTextSize = 4 * 1024 * 1024;

// The text of the keys of `def`, the strings of its work buffer (after a load
// rebuild it first), its settings (every one of the schema, the pointing
// device's values too) and the reserved bytes of `header`. Keys and layers
// in their cleared state are left out; every non-empty string is kept.
std::string ExportDefinitionText(const model::KeyboardDefinition& def, const HeaderImage& header);

// Whether the bytes look like a definition text: the first character that is
// not white space opens a JSON object.
bool LooksLikeDefinitionText(std::span<const std::uint8_t> bytes);

struct DefinitionTextImport {
  bool ok = false;
  // Where and what: "line 3, column 7: syntax error ..." or
  // ".keys[\"3/5\"].fn1.key: 300 is not an IBM key number (0..158)".
  std::string error;
  // Strokes that the string store had no room for; the work buffer keeps
  // them, a configuration file cannot.
  int droppedStrokes = 0;
};

// Reads the text into `def` and `header` as a load would leave them: keys,
// string work buffer, packed string store, settings (the pointing device's
// values too; in the header those a file holds), texts and reserved bytes. A
// setting the text leaves out takes its default. A value outside its range,
// or a text with a control character, is refused. On failure neither is changed.
DefinitionTextImport ImportDefinitionText(std::string_view text, model::KeyboardDefinition& def,
                                          HeaderImage& header);

// Imports a text read already; a failure's error is "NAME: WHERE: WHAT".
DefinitionTextImport ImportNamedDefinitionText(const std::string& name, std::string_view text,
                                               model::KeyboardDefinition& def, HeaderImage& header);

// Reads a file of at most kMaxDefinitionTextSize bytes and imports it. A
// failure's error is "PATH: WHERE: WHAT" (or the reason the file could not be
// read); it leaves `def` and `header` unchanged. Nothing is shown.
DefinitionTextImport ReadDefinitionTextFile(const std::string& path, model::KeyboardDefinition& def,
                                            HeaderImage& header);

// Writes the text in one piece through fileaccess::ReplaceFile.
fileaccess::Status WriteDefinitionTextFile(const std::string& path,
                                           const model::KeyboardDefinition& def,
                                           const HeaderImage& header);

}  // namespace veltrane::persist
