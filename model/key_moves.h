// SPDX-License-Identifier: MIT
// Keys moved, copied and swapped between matrix positions, and layers copied,
// swapped and cleared for every key. A copied string layer gets a string of
// its own (a copy of the strokes), so that no two keys share a string; a
// string that no layer names any more after an edit is freed.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "model/definition.h"

namespace veltrane::model {

enum class KeyMove { Move, Copy, Swap };
enum class LayerEdit { Copy, Swap, Clear };

// The layers as the window names them, by index (fn2 * 2 + fn1).
inline constexpr std::array<std::string_view, kLayerCount> kLayerTitles = {"Base", "Fn1", "Fn2",
                                                                           "Fn1+Fn2"};

enum class EditResult {
  Done,
  Unchanged,     // the same position or layer, one outside the matrix, or nothing differs
  NoFreeString,  // a copy needs a string number and all are taken: nothing changed
};

// "3/5": the row and column of a key index.
std::string PositionName(int keyIndex);

// Key `to` takes the legend, the flags and the four layers of key `from`
// (indexes row * 8 + column); the position's own fields (button fields,
// logicalAddress) stay. Move clears `from` as ClearKeys does, Copy gives the
// copy's string layers strings of their own, Swap exchanges the two keys.
EditResult MoveKey(KeyboardDefinition& def, int from, int to, KeyMove how);

// How many keys a layer edit would change: Copy and Swap those whose layers
// `from` and `to` differ (string layers by their strokes), Clear those whose
// layer `from` is not cleared already.
int CountLayerChanges(const KeyboardDefinition& def, LayerEdit edit, int from, int to);

// Layer `to` of every key takes layer `from` (Copy), the two are exchanged
// (Swap), or layer `from` is cleared as ClearKeys clears it (Clear; `to` is
// not used). Only the keys CountLayerChanges counts change; their complete
// flag follows (UpdateKeyComplete).
EditResult EditLayers(KeyboardDefinition& def, LayerEdit edit, int from, int to);

}  // namespace veltrane::model
