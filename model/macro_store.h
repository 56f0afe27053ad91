// SPDX-License-Identifier: MIT
// How much of the 192-entry packed macro store the strings need, and which
// strings would lose strokes when they do not fit. FlattenStrings lays the
// strings out one after another, each with its end mark; empty strings
// behind the last one with strokes need no entry of their own (past the end
// of the store they all share the last), so they are not counted.
#pragma once

#include <array>
#include <vector>

#include "model/definition.h"

namespace veltrane::model {

// Strokes per string number, as StringLength counts them.
using StringLengths = std::array<int, kStringCount>;
StringLengths LengthsOfStrings(const KeyboardDefinition& def);

struct MacroStoreUse {
  int strokes = 0;        // the strokes of all strings
  int endMarks = 0;       // one for each string up to the last holding strokes
  int emptyEndMarks = 0;  // of those, the end marks of empty strings
  int lastString = -1;    // the last string holding strokes; -1 for none

  // The store entries FlattenStrings needs to keep every stroke.
  int entries() const { return strokes + endMarks; }
  bool fits() const { return entries() <= kStoreEntries; }
};

MacroStoreUse MeasureMacroStore(const StringLengths& lengths);
MacroStoreUse MeasureMacroStore(const KeyboardDefinition& def);

// A string that FlattenStrings would cut short.
struct StringLoss {
  int string = 0;
  int lost = 0;     // strokes left out
  int strokes = 0;  // strokes it holds
};

// The strings that would lose strokes, in string order; empty when all fit.
// The losses add up to what FlattenStrings reports as dropped.
std::vector<StringLoss> StringsLosingStrokes(const StringLengths& lengths);

// A layer naming a string: its key's row and column and the layer index.
struct LayerPlace {
  int row = 0;
  int column = 0;
  int layer = 0;
};

// The string layers (a light flag beside STRING_KEY counts) that name string n.
std::vector<LayerPlace> LayersNamingString(const KeyboardDefinition& def, int n);

// Sets stringcharcount of every string layer to the strokes its string holds,
// so that the field never disagrees with the store; true when one changed.
bool SyncStringCharCounts(KeyboardDefinition& def);

}  // namespace veltrane::model
