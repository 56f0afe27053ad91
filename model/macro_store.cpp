// SPDX-License-Identifier: MIT
#include "model/macro_store.h"

#include <algorithm>

#include "model/key_tables.h"

namespace veltrane::model {
namespace {

constexpr std::uint8_t kTypeBits = 0x3F;

bool NamesAString(const KeyLayer& layer) {
  return (layer.keytype & kTypeBits) == STRING_KEY && layer.ibmkey >= 0 &&
         layer.ibmkey < kStringCount;
}

}  // namespace

StringLengths LengthsOfStrings(const KeyboardDefinition& def) {
  StringLengths lengths{};
  for (std::size_t n = 0; n < lengths.size(); ++n)
    lengths[n] = StringLength(def.stringWorkBuffer[n]);
  return lengths;
}

MacroStoreUse MeasureMacroStore(const StringLengths& lengths) {
  MacroStoreUse use;
  for (int n = 0; n < kStringCount; ++n) {
    const int strokes = lengths[static_cast<std::size_t>(n)];
    use.strokes += strokes;
    if (strokes > 0) use.lastString = n;
  }
  use.endMarks = use.lastString + 1;
  for (int n = 0; n < use.lastString; ++n)
    if (lengths[static_cast<std::size_t>(n)] == 0) ++use.emptyEndMarks;
  return use;
}

MacroStoreUse MeasureMacroStore(const KeyboardDefinition& def) {
  return MeasureMacroStore(LengthsOfStrings(def));
}

std::vector<StringLoss> StringsLosingStrokes(const StringLengths& lengths) {
  // A stroke is kept when it lands before the last entry, which its string's
  // end mark (or a later one) writes over.
  constexpr int kLast = kStoreEntries - 1;
  std::vector<StringLoss> losses;
  int start = 0;
  for (int n = 0; n < kStringCount; ++n) {
    const int strokes = lengths[static_cast<std::size_t>(n)];
    const int kept = std::clamp(kLast - start, 0, strokes);
    if (kept < strokes) losses.push_back({n, strokes - kept, strokes});
    start += strokes + 1;
  }
  return losses;
}

std::vector<LayerPlace> LayersNamingString(const KeyboardDefinition& def, int n) {
  std::vector<LayerPlace> places;
  for (int index = 0; index < kKeyCount; ++index) {
    const KeyDefinition& key = def.keys[static_cast<std::size_t>(index)];
    for (int layer = 0; layer < kLayerCount; ++layer) {
      const KeyLayer& l = key.layers[static_cast<std::size_t>(layer)];
      if (NamesAString(l) && l.ibmkey == n)
        places.push_back({index / kColumns, index % kColumns, layer});
    }
  }
  return places;
}

bool SyncStringCharCounts(KeyboardDefinition& def) {
  bool changed = false;
  for (KeyDefinition& key : def.keys) {
    for (KeyLayer& layer : key.layers) {
      if (!NamesAString(layer)) continue;
      const int strokes =
          StringLength(def.stringWorkBuffer[static_cast<std::size_t>(layer.ibmkey)]);
      changed = changed || layer.stringcharcount != strokes;
      layer.stringcharcount = strokes;
    }
  }
  return changed;
}

}  // namespace veltrane::model
