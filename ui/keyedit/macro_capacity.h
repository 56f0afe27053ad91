// How full the packed string store will be. Every stroke and the terminator
// of each of the 128 strings take one of the 192 store entries; once the
// store is full, further entries are written over the last one, so strings
// behind the last stroke share it and strokes that land there are lost.
#pragma once

#include <string>

#include "model/definition.h"

namespace veltrane::ui {

// Strokes of all work-buffer strings.
int UsedMacroStrokes(const model::KeyboardDefinition& def);

// Store entries FlattenStrings will write: strokes and terminators, at most the whole store.
int UsedStoreEntries(const model::KeyboardDefinition& def);

// Strokes that FlattenStrings would not get into the store. Past the limit
// this depends on where the strokes sit: terminators of empty strings behind
// a long one share the last entry, strokes there are lost.
int DroppedMacroStrokes(const model::KeyboardDefinition& def);

// "Macro store: 131 of 192 entries"; adds how many strokes a save or
// download would drop, when it would drop any.
std::string MacroCapacityText(const model::KeyboardDefinition& def);

}  // namespace veltrane::ui
