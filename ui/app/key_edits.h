// SPDX-License-Identifier: MIT
// Keys moved, copied and swapped, and layers copied, swapped and cleared, over
// a definition the user keeps: a copy whose strings would not fit the packed
// macro store is refused with the macro store's own words, and nothing changes.
// Also what the window and the command line call them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/key_moves.h"
#include "ui/app/outcome.h"

namespace veltrane::ui {

// Ok when the definition changed; Cancelled when there was nothing to change
// (the same position, a layer onto itself, nothing differs); MacrosDoNotFit,
// with the text to tell, when a copy would not fit or no string number is free.
Outcome MoveKeyChecked(model::KeyboardDefinition& def, int from, int to, model::KeyMove how);
Outcome EditLayersChecked(model::KeyboardDefinition& def, model::LayerEdit edit, int from, int to);

// "Move 3/5 to 4/6", "Copy 3/5 to 4/6", "Swap 3/5 and 4/6".
std::string KeyMoveName(int from, int to, model::KeyMove how);
// "Copy Fn1 to Fn2", "Swap Fn1 and Fn2", "Clear Fn1".
std::string LayerEditName(model::LayerEdit edit, int from, int to);
// What a layer edit asks before it runs: "Copy Fn1 to Fn2: 37 keys change".
std::string LayerEditQuestion(const model::KeyboardDefinition& def, model::LayerEdit edit, int from,
                              int to);

// A layer by its name in any letter case: "base", "fn1", "fn2", "fn1+fn2".
std::optional<int> LayerByName(std::string_view name);

}  // namespace veltrane::ui
