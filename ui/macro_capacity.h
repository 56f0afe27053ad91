// How full the packed string store will be: beside the 128 terminators the
// 192-entry store has room for 64 strokes of all strings together.
#pragma once

#include <string>

#include "model/definition.h"

namespace veltrane::ui {

inline constexpr int kMacroStrokeSlots = model::kStoreEntries - model::kStringCount;

// Strokes of all work-buffer strings, counted as FlattenStrings packs them.
int UsedMacroStrokes(const model::KeyboardDefinition& def);

// Strokes that FlattenStrings would not get into the store. Past the limit
// this depends on where the strokes sit: terminators of empty strings behind
// a long one share the last entry, strokes there are lost.
int DroppedMacroStrokes(const model::KeyboardDefinition& def);

// "Macro strokes: 12 of 64"; adds how many strokes a save or download would drop.
std::string MacroCapacityText(const model::KeyboardDefinition& def);

}  // namespace veltrane::ui
