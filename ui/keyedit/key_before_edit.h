// SPDX-License-Identifier: MIT
// What "Cancel" in Key Settings gives back: the key as the dialog showed it,
// before any edit, with the macros its layers named then.
#pragma once

#include <utility>
#include <vector>

#include "model/definition.h"

namespace veltrane::ui {

struct KeyBeforeEdit {
  int keyIndex = -1;
  model::KeyDefinition key;
  std::vector<std::pair<int, model::StringRow>> strings;  // string number and its row
};

// Key `keyIndex` as it is now, with the strings its string layers name.
KeyBeforeEdit RememberKey(const model::KeyboardDefinition& def, int keyIndex);

// The key gets back what it was, its used flags and the macros the string
// editor recorded for it meanwhile included; a string it was given meanwhile
// that no other layer names is freed again. NumberOfStrings follows.
void RestoreKey(const KeyBeforeEdit& before, model::KeyboardDefinition& def);

}  // namespace veltrane::ui
