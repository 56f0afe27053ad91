// SPDX-License-Identifier: MIT
// The keyboard definition record: global settings (pointing-device tuning
// included), the 16 x 8 key matrix with four layers per key and the macro
// string store.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "model/settings.h"
#include "model/text_field.h"

namespace veltrane::model {

inline constexpr int kRows = 16;
inline constexpr int kColumns = 8;
inline constexpr int kKeyCount = kRows * kColumns;
inline constexpr int kLayerCount = 4;
inline constexpr int kStringCount = 128;
inline constexpr int kStringRowLength = 80;  // strokes per work-buffer row, terminator included
inline constexpr int kMaxStringStrokes = kStringRowLength - 1;
inline constexpr int kStoreEntries = 192;
inline constexpr std::uint16_t kStringStoreBase = 2304;
inline constexpr std::uint32_t kFirstButtonId = 34560;

inline constexpr std::uint8_t KEYMODE_ALT = 0x01;
inline constexpr std::uint8_t KEYMODE_CTRL = 0x02;
inline constexpr std::uint8_t KEYMODE_SHIFT = 0x04;
inline constexpr std::uint8_t KEYMODE_BASE = 0x08;
inline constexpr std::uint8_t KEYMODE_REPEAT_OFF = 0x10;
inline constexpr std::uint8_t KEYMODE_ALTGR = 0x20;

inline constexpr std::uint8_t KEYTYPE_LIGHT_DOWN = 0x40;
inline constexpr std::uint8_t KEYTYPE_LIGHT_UP = 0x80;

// Field order and widths are those of the configuration file's layer record;
// padding is kept so that a loaded file is saved back byte for byte.
struct KeyLayer {
  std::uint8_t used = 0;
  std::array<std::uint8_t, 3> padding1{};
  std::int32_t ibmkey = 0;  // IbmKeyTable row, or the string number of a STRING_KEY
  std::uint8_t keymode = 0;
  std::uint8_t keytype = 15;
  std::uint8_t scan2code = 0;
  std::uint8_t scan3code = 0;
  std::uint8_t usbcode = 0;
  std::array<std::uint8_t, 3> padding2{};
  std::int32_t stringcharcount = 0;
};

struct KeyDefinition {
  std::uint32_t buttonHandle = 0;
  std::uint8_t enabled = 1;
  std::uint8_t used = 1;
  std::uint8_t complete = 0;
  std::uint8_t padding1 = 0;
  std::uint32_t buttonId = 0;
  std::int32_t buttonX = 0;
  std::int32_t buttonY = 0;
  std::int32_t buttonWidth = 0;
  std::int32_t buttonHeight = 0;
  TextField<32> legend{};
  std::uint8_t logicalAddress = 0;
  std::array<std::uint8_t, 3> padding2{};
  std::array<KeyLayer, kLayerCount> layers{};
};

struct StringChar {
  std::uint8_t modifier = 0;
  std::uint8_t characterUSB = 0;
  std::uint8_t characterMode2 = 0;
  std::uint8_t characterType = 0;

  bool IsTerminator() const {
    return modifier == 0 && characterUSB == 0 && characterMode2 == 0 && characterType == 0;
  }
  friend bool operator==(const StringChar&, const StringChar&) = default;
};

using StringRow = std::array<StringChar, kStringRowLength>;

// A stroke as configuration files and EEPROM images hold it: modifier, USB
// code, mode-2 code and type, one byte each.
inline constexpr int kStrokeBytes = 4;
using StrokeBytes = std::array<std::uint8_t, kStrokeBytes>;
StrokeBytes EncodeStroke(const StringChar& stroke);
StringChar DecodeStroke(std::span<const std::uint8_t, kStrokeBytes> bytes);

struct KeyboardDefinition {
  Settings settings;
  std::array<KeyDefinition, kKeyCount> keys{};
  std::array<std::uint16_t, kStringCount> stringIndex{};
  std::array<StringChar, kStoreEntries> stringStore{};
  std::array<StringRow, kStringCount> stringWorkBuffer{};
};

constexpr int KeyIndex(int row, int column) {
  return row * kColumns + column;
}

// Start-up state: cleared keys with their button fields, empty strings,
// start-up settings and pointing-device values.
void InitialiseDefinition(KeyboardDefinition& def);

// Resets every key and layer to the cleared state; button fields,
// logicalAddress and the three code fields of every layer keep their values.
void ClearKeys(KeyboardDefinition& def);
// One key or layer as ClearKeys leaves it.
void ClearKey(KeyDefinition& key);
void ClearLayer(KeyLayer& layer);
void ClearStringStore(KeyboardDefinition& def);
void ClearStringWorkBuffer(KeyboardDefinition& def, bool resetCount);

// Builds the work buffer back from the store, driven by the terminators. A
// stored string longer than a row cuts at kMaxStringStrokes; its excess is
// skipped up to its terminator, so later strings keep their numbers.
void RebuildStringWorkBuffer(KeyboardDefinition& def);

// Packs the work buffer into the store and StringIndex. Strokes that do not fit
// are written over the last entry as the keyboard format has it; the result is
// the number of strokes that did not reach the store.
int FlattenStrings(KeyboardDefinition& def);

void UpdateKeyComplete(KeyDefinition& key);

// Gives a layer the key of an IbmKeyTable row; a row outside the table
// leaves the layer untouched and returns false.
bool AssignTableKey(KeyLayer& layer, int row);

// Number of strokes of a work-buffer string (entries before its terminator).
int StringLength(const StringRow& row);

// Whether a string layer other than `except` names string n. A keytype byte
// with a light flag beside STRING_KEY counts too: its string is not free.
bool IsStringReferenced(const KeyboardDefinition& def, int n, const KeyLayer* except = nullptr);

// Lowest string number whose entry 0 is a terminator and that no string
// layer names; -1 when all are in use.
int FindFreeString(const KeyboardDefinition& def);

}  // namespace veltrane::model
