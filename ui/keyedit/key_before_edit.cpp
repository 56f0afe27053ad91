// SPDX-License-Identifier: MIT
#include "ui/keyedit/key_before_edit.h"

#include <algorithm>

#include "model/key_tables.h"

namespace veltrane::ui {
namespace {

// The string numbers the key's string layers name.
std::vector<int> StringsOfKey(const model::KeyDefinition& key) {
  std::vector<int> strings;
  for (const model::KeyLayer& layer : key.layers) {
    if ((layer.keytype & 0x3F) == model::STRING_KEY && layer.ibmkey >= 0 &&
        layer.ibmkey < model::kStringCount)
      strings.push_back(layer.ibmkey);
  }
  return strings;
}

bool IsOccupied(const model::KeyboardDefinition& def, int n) {
  return !def.stringWorkBuffer[static_cast<std::size_t>(n)][0].IsTerminator();
}

}  // namespace

KeyBeforeEdit RememberKey(const model::KeyboardDefinition& def, int keyIndex) {
  KeyBeforeEdit before;
  if (keyIndex < 0 || keyIndex >= model::kKeyCount) return before;
  before.keyIndex = keyIndex;
  before.key = def.keys[static_cast<std::size_t>(keyIndex)];
  for (const int n : StringsOfKey(before.key))
    before.strings.emplace_back(n, def.stringWorkBuffer[static_cast<std::size_t>(n)]);
  return before;
}

void RestoreKey(const KeyBeforeEdit& before, model::KeyboardDefinition& def) {
  if (before.keyIndex < 0 || before.keyIndex >= model::kKeyCount) return;
  model::KeyDefinition& key = def.keys[static_cast<std::size_t>(before.keyIndex)];
  const std::vector<int> given = StringsOfKey(key);
  key = before.key;
  // NumberOfStrings follows the strings taken and freed, as the editor keeps it.
  int taken = 0;
  for (const auto& [n, row] : before.strings) {
    const bool was = IsOccupied(def, n);
    def.stringWorkBuffer[static_cast<std::size_t>(n)] = row;
    taken += static_cast<int>(IsOccupied(def, n)) - static_cast<int>(was);
  }
  for (const int n : given) {
    if (!IsOccupied(def, n) || model::IsStringReferenced(def, n)) continue;
    def.stringWorkBuffer[static_cast<std::size_t>(n)][0] = model::StringChar{};
    --taken;
  }
  model::Settings& settings = def.settings;
  settings.NumberOfStrings = std::max(0, settings.NumberOfStrings + taken);
}

}  // namespace veltrane::ui
