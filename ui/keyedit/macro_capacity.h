// SPDX-License-Identifier: MIT
// The string editor's gauge of the packed macro store: the entries the
// definition needs with the editor's list as if it were accepted now, and
// where the number comes from.
#pragma once

#include <string>

#include "model/macro_store.h"

namespace veltrane::ui {

// The strings as they would be after a list of `lineCount` lines were
// applied to layer `layerIndex` of key `keyIndex`.
model::StringLengths PendingStringLengths(const model::KeyboardDefinition& def, int keyIndex,
                                          int layerIndex, int lineCount);

// "Macro store: 79 of 192 entries"; "Macro store: 202 of 192 entries (10 over)".
std::string MacroCapacityText(const model::MacroStoreUse& use);
// Strokes, end marks and the empty strings that need none, one line each.
std::string MacroCapacityTooltip(const model::MacroStoreUse& use);

}  // namespace veltrane::ui
