// SPDX-License-Identifier: MIT
// Between the string editor's list and one layer of the definition: a layer's
// assignment shown as list lines, and the lines turned back into nothing, a
// modifier key, a single key with its modes, or a macro string.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/definition.h"
#include "model/diagnostics.h"
#include "ui/keyedit/macro_line.h"

namespace veltrane::ui {

inline constexpr int kNoFnLightKey = 4095;

// The line the "Fn Light" button adds, and the display of a light control
// layer. Neither names a table row; each may stand alone in the list.
inline constexpr std::string_view kFnLightLine = "Fn Light Control";
inline constexpr std::string_view kLightControlDisplay = "Fn3Light Control";

// What ApplyStringEditorList works on besides the lines.
struct AssignmentContext {
  model::KeyboardDefinition& def;
  int keyIndex;  // row * 8 + column of the position being edited
  const ModifierFlags& flags;
  int fnLightKey;
  model::LogSink* log;
  model::MessageSink& messages;
};

// Appends the layer's assignment to the lines. A layer whose ibmkey is no
// table row, or a string layer whose number is no string, shows nothing.
void ShowLayerInStringEditor(const model::KeyboardDefinition& def, const model::KeyLayer& layer,
                             std::vector<MacroLine>& lines);

// Turns the lines into layer `layerIndex` of the key; false when the layer
// was left unchanged (the user is told): a line names no key that can be
// recorded, the list is longer than a macro (79 strokes), or no string number
// is free.
bool ApplyStringEditorList(AssignmentContext& context, int layerIndex,
                           const std::vector<MacroLine>& lines);

// The first checked modifier (Alt, Alt-Gr, Shift left/right, Ctrl left/right)
// becomes the layer's key and 1 is returned; with none the layer is cleared
// to UNUSED_KEY and 0 is returned. The codes are kept when clearing.
int AssignModifierKey(model::KeyLayer& layer, const ModifierFlags& flags, model::LogSink* log);

// Writes entry k of string n from the line; false (nothing written) when k
// or n lies outside the work buffer's strokes, or the line names no row.
bool ConvertLineToStringChar(model::KeyboardDefinition& def, const MacroLine& line, int k, int n);

// After the user gave a layer a meaning (the editor's "OK", a key chosen in
// Key Settings): the layer and its key are marked used, so that the key is
// complete at once. A layer left without a key keeps its flags.
void MarkLayerUsedIfAssigned(model::KeyDefinition& key, int layerIndex);

// What ApplyStringEditorList does to the strings for a list of `lineCount`
// lines on this layer: the string it frees and the one it records `strokes`
// into (-1 for none; no string is recorded when none is free).
struct StringChange {
  int freed = -1;
  int recorded = -1;
  int strokes = 0;
};
StringChange PlanStringChange(const model::KeyboardDefinition& def, const model::KeyLayer& layer,
                              int lineCount);

using model::FindFreeString;

}  // namespace veltrane::ui
