// SPDX-License-Identifier: MIT
// The differences between two definitions at the level of keys, layers,
// macros and settings, one line each in names a person reads, e.g.
//   3/5 fn1: IBM 31 "A" NORMAL_KEY -> IBM 48 "C" NORMAL_KEY
//   macro 2: 4 strokes -> 6 strokes
//   DebounceTime: 28 -> 12
#pragma once

#include <string>
#include <vector>

#include "model/definition.h"
#include "persist/header_image.h"

namespace veltrane::persist {

struct DefinitionDifference {
  std::string line;
  // The same as one JSON object: where ("setting", "key" and "layer", or
  // "macro"), "from" and "to" in the definition text's form (null for a
  // cleared layer), and the line.
  std::string json;
};

// Each definition as ExportDefinitionText reads it: keys, string work buffer
// and settings from `def`, the reserved bytes from its header. In the order settings, keys
// (each key's own fields, then its layers), macros.
std::vector<DefinitionDifference> DiffDefinitions(const model::KeyboardDefinition& a,
                                                  const HeaderImage& aHeader,
                                                  const model::KeyboardDefinition& b,
                                                  const HeaderImage& bHeader);

// The settings alone, as DiffDefinitions lists them.
std::vector<DefinitionDifference> DiffSettings(const model::Settings& a, const model::Settings& b);

// {"equal": ..., "differences": [...]} with one difference per line.
std::string FormatDifferencesJson(const std::vector<DefinitionDifference>& differences);

}  // namespace veltrane::persist
