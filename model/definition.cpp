// SPDX-License-Identifier: MIT
#include "model/definition.h"

#include "model/key_tables.h"

namespace veltrane::model {

void InitialiseDefinition(KeyboardDefinition& def) {
  def = KeyboardDefinition{};
  ClearKeys(def);
  ClearStringStore(def);
  for (int row = 0; row < kRows; ++row) {
    for (int column = 0; column < kColumns; ++column) {
      KeyDefinition& key = def.keys[static_cast<std::size_t>(KeyIndex(row, column))];
      key.buttonHandle = 0;
      key.buttonId = kFirstButtonId + static_cast<std::uint32_t>(KeyIndex(row, column));
      key.buttonX = column * 20 + 40;
      key.buttonY = row * 20 + 40;
      key.buttonWidth = 16;
      key.buttonHeight = 16;
      for (KeyLayer& layer : key.layers) layer.ibmkey = 0;
    }
  }
  def.settings = Settings{};
  ClearStringWorkBuffer(def, true);
}

void ClearKeys(KeyboardDefinition& def) {
  for (KeyDefinition& key : def.keys) ClearKey(key);
}

void ClearKey(KeyDefinition& key) {
  key.enabled = 1;
  key.used = 1;
  key.complete = 0;
  SetFieldText(key.legend, "Nothing");
  for (KeyLayer& layer : key.layers) ClearLayer(layer);
}

void ClearLayer(KeyLayer& layer) {
  layer.used = 0;
  layer.ibmkey = 0;
  layer.keymode = 0;
  layer.keytype = UNUSED_KEY;
  layer.stringcharcount = 0;
}

void ClearStringStore(KeyboardDefinition& def) {
  def.stringIndex.fill(0);
  def.stringStore.fill(StringChar{});
}

void ClearStringWorkBuffer(KeyboardDefinition& def, bool resetCount) {
  for (StringRow& row : def.stringWorkBuffer) row[0] = StringChar{};
  if (resetCount) def.settings.NumberOfStrings = 0;
}

void RebuildStringWorkBuffer(KeyboardDefinition& def) {
  std::size_t string = 0;
  int position = 0;
  for (const StringChar& entry : def.stringStore) {
    // Past the row's last stroke only the terminator is copied, into the last entry.
    if (position < kMaxStringStrokes || entry.IsTerminator()) {
      def.stringWorkBuffer[string][static_cast<std::size_t>(position)] = entry;
      if (position < kMaxStringStrokes) ++position;
    }
    if (entry.IsTerminator()) {
      if (string == kStringCount - 1) return;
      ++string;
      position = 0;
    }
  }
  // A damaged store that ends inside a string still leaves that row terminated.
  def.stringWorkBuffer[string][static_cast<std::size_t>(position)] = StringChar{};
}

StrokeBytes EncodeStroke(const StringChar& stroke) {
  return {stroke.modifier, stroke.characterUSB, stroke.characterMode2, stroke.characterType};
}

StringChar DecodeStroke(std::span<const std::uint8_t, kStrokeBytes> bytes) {
  return {bytes[0], bytes[1], bytes[2], bytes[3]};
}

namespace {

struct StoreLayout {
  int end = 0;      // the first entry after the last one written
  int dropped = 0;  // strokes written over by a later entry on the last one
};

// Lays the work buffer's strings out in the store one after another, each with
// its terminator: `start(n, k)` as string n begins at entry k, `put(k, stroke)`
// for every entry. Past the last entry everything lands on it, so a stroke
// put there is overwritten by its string's terminator.
template <typename Start, typename Put>
StoreLayout LayOutStrings(const KeyboardDefinition& def, Start start, Put put) {
  constexpr int kLast = kStoreEntries - 1;
  StoreLayout layout;
  int& k = layout.end;
  const auto next = [&](const StringChar& entry) {
    put(k, entry);
    if (k < kLast) ++k;
  };
  for (std::size_t n = 0; n < kStringCount; ++n) {
    start(n, k);
    for (const StringChar& entry : def.stringWorkBuffer[n]) {
      if (entry.IsTerminator()) break;
      if (k == kLast) ++layout.dropped;
      next(entry);
    }
    next(StringChar{});
  }
  return layout;
}

}  // namespace

int FlattenStrings(KeyboardDefinition& def) {
  const StoreLayout layout = LayOutStrings(
      def,
      [&](std::size_t n, int k) {
        def.stringIndex[n] = static_cast<std::uint16_t>(kStringStoreBase + kStrokeBytes * k);
      },
      [&](int k, const StringChar& entry) {
        def.stringStore[static_cast<std::size_t>(k)] = entry;
      });
  for (int i = layout.end; i < kStoreEntries; ++i)
    def.stringStore[static_cast<std::size_t>(i)] = StringChar{};
  return layout.dropped;
}

void UpdateKeyComplete(KeyDefinition& key) {
  key.complete = 0;
  if (key.used != 0) {
    for (const KeyLayer& layer : key.layers) {
      if (layer.used != 1 || layer.keytype == UNUSED_KEY) continue;
      if (layer.ibmkey != 0 || layer.keytype == STRING_KEY) key.complete = 1;
    }
  }
  if (key.layers[0].keytype == LOCAL_ILLUMINATION_KEY) {
    key.used = 1;
    key.complete = 1;
  }
}

bool AssignTableKey(KeyLayer& layer, int row) {
  const IbmKeyRow* entry = IbmKeyRowAt(row);
  if (entry == nullptr) return false;
  layer.ibmkey = row;
  layer.keytype = entry->type;
  layer.scan2code = entry->scan2;
  layer.scan3code = entry->scan3;
  layer.usbcode = entry->usb;
  layer.keymode = 0;
  return true;
}

int StringLength(const StringRow& row) {
  int n = 0;
  while (n < kStringRowLength && !row[static_cast<std::size_t>(n)].IsTerminator()) ++n;
  return n;
}

bool IsStringReferenced(const KeyboardDefinition& def, int n, const KeyLayer* except) {
  constexpr std::uint8_t kTypeBits = 0x3F;
  for (const KeyDefinition& key : def.keys) {
    for (const KeyLayer& layer : key.layers) {
      if (&layer != except && (layer.keytype & kTypeBits) == STRING_KEY && layer.ibmkey == n)
        return true;
    }
  }
  return false;
}

int FindFreeString(const KeyboardDefinition& def) {
  for (int n = 0; n < kStringCount; ++n) {
    if (def.stringWorkBuffer[static_cast<std::size_t>(n)][0].IsTerminator() &&
        !IsStringReferenced(def, n))
      return n;
  }
  return -1;
}

}  // namespace veltrane::model
