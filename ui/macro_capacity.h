// How full the packed string store will be: beside the 128 terminators the
// 192-entry store has room for 64 strokes of all strings together.
#pragma once

#include <string>

#include "model/definition.h"

namespace veltrane::ui {

inline constexpr int kMacroStrokeSlots = model::kStoreEntries - model::kStringCount;

// Strokes of all work-buffer strings, counted as FlattenStrings packs them.
int UsedMacroStrokes(const model::KeyboardDefinition& def);

// "Macro strokes: 12 of 64"; over the limit it adds how many will be dropped.
std::string MacroCapacityText(const model::KeyboardDefinition& def);

}  // namespace veltrane::ui
