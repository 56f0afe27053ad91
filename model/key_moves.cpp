// SPDX-License-Identifier: MIT
#include "model/key_moves.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "model/diagnostics.h"
#include "model/key_tables.h"

namespace veltrane::model {
namespace {

constexpr std::uint8_t kLayerTypeBits = 0x3F;

bool IsKeyIndex(int index) {
  return index >= 0 && index < kKeyCount;
}

bool IsLayerIndex(int layer) {
  return layer >= 0 && layer < kLayerCount;
}

// The string a layer names, or -1: a light flag beside STRING_KEY counts, as
// IsStringReferenced counts it.
int StringOf(const KeyLayer& layer) {
  if ((layer.keytype & kLayerTypeBits) != STRING_KEY || layer.ibmkey < 0 ||
      layer.ibmkey >= kStringCount)
    return -1;
  return layer.ibmkey;
}

StringRow& Row(KeyboardDefinition& def, int n) {
  return def.stringWorkBuffer[static_cast<std::size_t>(n)];
}

bool Occupied(const KeyboardDefinition& def, int n) {
  return !def.stringWorkBuffer[static_cast<std::size_t>(n)][0].IsTerminator();
}

void CountStrings(KeyboardDefinition& def, int change) {
  def.settings.NumberOfStrings = std::max(0, def.settings.NumberOfStrings + change);
}

// Frees each of `strings` that no layer names any more, as the string editor
// frees a string it replaces.
void FreeUnnamed(KeyboardDefinition& def, const std::vector<int>& strings) {
  for (const int n : strings) {
    if (!Occupied(def, n) || IsStringReferenced(def, n)) continue;
    Row(def, n)[0] = StringChar{};
    CountStrings(def, -1);
  }
}

// Each layer a string of its own: a copy of the strokes of the one it names.
// False when no number is left for one.
bool GiveOwnStrings(KeyboardDefinition& def, const std::vector<KeyLayer*>& layers) {
  for (KeyLayer* layer : layers) {
    const int source = StringOf(*layer);
    if (source < 0) continue;
    const int own = FindFreeString(def);
    if (own < 0) return false;
    Row(def, own) = Row(def, source);
    layer->ibmkey = own;
    if (Occupied(def, own)) CountStrings(def, 1);
  }
  return true;
}

// Runs `edit` on a copy of the definition, which replaces it only when the edit is done.
template <typename Edit>
EditResult OnCopy(KeyboardDefinition& def, Edit edit) {
  KeyboardDefinition trial = def;
  const EditResult result = edit(trial);
  if (result == EditResult::Done) def = std::move(trial);
  return result;
}

std::vector<int> StringsOfKey(const KeyDefinition& key) {
  std::vector<int> strings;
  for (const KeyLayer& layer : key.layers)
    if (const int n = StringOf(layer); n >= 0) strings.push_back(n);
  return strings;
}

// What moves with a key; the button fields and logicalAddress belong to the position.
void TakeContent(KeyDefinition& to, const KeyDefinition& from) {
  to.enabled = from.enabled;
  to.used = from.used;
  to.complete = from.complete;
  to.legend = from.legend;
  to.layers = from.layers;
}

bool SameBytes(const KeyLayer& a, const KeyLayer& b) {
  return std::memcmp(&a, &b, sizeof(KeyLayer)) == 0;
}

// Two layers that mean the same: equal records, or string layers that differ
// only in the number of strings holding the same strokes.
bool SameMeaning(const KeyboardDefinition& def, const KeyLayer& a, const KeyLayer& b) {
  if (SameBytes(a, b)) return true;
  const int sa = StringOf(a);
  const int sb = StringOf(b);
  if (sa < 0 || sb < 0) return false;
  KeyLayer renumbered = b;
  renumbered.ibmkey = a.ibmkey;
  const StringRow& ra = def.stringWorkBuffer[static_cast<std::size_t>(sa)];
  const StringRow& rb = def.stringWorkBuffer[static_cast<std::size_t>(sb)];
  return SameBytes(a, renumbered) &&
         std::equal(ra.begin(), ra.begin() + StringLength(ra) + 1, rb.begin());
}

bool IsCleared(const KeyLayer& layer) {
  KeyLayer cleared = layer;
  ClearLayer(cleared);
  return SameBytes(layer, cleared);
}

bool Changes(const KeyboardDefinition& def, const KeyDefinition& key, LayerEdit edit, int from,
             int to) {
  const KeyLayer& a = key.layers[static_cast<std::size_t>(from)];
  if (edit == LayerEdit::Clear) return !IsCleared(a);
  return !SameMeaning(def, a, key.layers[static_cast<std::size_t>(to)]);
}

}  // namespace

std::string PositionName(int keyIndex) {
  return FormatText("%d/%d", keyIndex / kColumns, keyIndex % kColumns);
}

EditResult MoveKey(KeyboardDefinition& def, int from, int to, KeyMove how) {
  if (!IsKeyIndex(from) || !IsKeyIndex(to) || from == to) return EditResult::Unchanged;
  if (how == KeyMove::Swap) {
    KeyDefinition& source = def.keys[static_cast<std::size_t>(from)];
    KeyDefinition& target = def.keys[static_cast<std::size_t>(to)];
    const KeyDefinition held = target;
    TakeContent(target, source);
    TakeContent(source, held);
    return EditResult::Done;
  }
  return OnCopy(def, [&](KeyboardDefinition& d) {
    KeyDefinition& source = d.keys[static_cast<std::size_t>(from)];
    KeyDefinition& target = d.keys[static_cast<std::size_t>(to)];
    const std::vector<int> replaced = StringsOfKey(target);
    TakeContent(target, source);
    if (how == KeyMove::Move) ClearKey(source);
    FreeUnnamed(d, replaced);
    if (how == KeyMove::Move) return EditResult::Done;
    std::vector<KeyLayer*> layers;
    for (KeyLayer& layer : target.layers) layers.push_back(&layer);
    return GiveOwnStrings(d, layers) ? EditResult::Done : EditResult::NoFreeString;
  });
}

int CountLayerChanges(const KeyboardDefinition& def, LayerEdit edit, int from, int to) {
  if (!IsLayerIndex(from) || (edit != LayerEdit::Clear && (!IsLayerIndex(to) || from == to)))
    return 0;
  return static_cast<int>(std::count_if(def.keys.begin(), def.keys.end(), [&](const auto& key) {
    return Changes(def, key, edit, from, to);
  }));
}

EditResult EditLayers(KeyboardDefinition& def, LayerEdit edit, int from, int to) {
  if (CountLayerChanges(def, edit, from, to) == 0) return EditResult::Unchanged;
  return OnCopy(def, [&](KeyboardDefinition& d) {
    std::vector<int> replaced;
    std::vector<KeyLayer*> copies;
    for (KeyDefinition& key : d.keys) {
      if (!Changes(d, key, edit, from, to)) continue;
      KeyLayer& a = key.layers[static_cast<std::size_t>(from)];
      if (edit == LayerEdit::Swap) {
        std::swap(a, key.layers[static_cast<std::size_t>(to)]);
      } else if (edit == LayerEdit::Clear) {
        if (const int n = StringOf(a); n >= 0) replaced.push_back(n);
        ClearLayer(a);
      } else {
        KeyLayer& b = key.layers[static_cast<std::size_t>(to)];
        if (const int n = StringOf(b); n >= 0) replaced.push_back(n);
        b = a;
        copies.push_back(&b);
      }
      UpdateKeyComplete(key);
    }
    FreeUnnamed(d, replaced);
    return GiveOwnStrings(d, copies) ? EditResult::Done : EditResult::NoFreeString;
  });
}

}  // namespace veltrane::model
