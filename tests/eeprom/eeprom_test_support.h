// SPDX-License-Identifier: MIT
// Definitions and strings shared by the image tests.
#pragma once

#include <memory>

#include "eeprom/image_layout.h"
#include "model/definition.h"
#include "model/diagnostics.h"
#include "model/key_tables.h"
#include "tests/support/recording_messages.h"

namespace veltrane::eeprom::test {

using CapturedLog = veltrane::testing::RecordingLog;
using CapturedMessages = veltrane::testing::RecordingMessages;

// The start-up definition, on the heap: the work buffer alone is 40 KiB.
inline std::unique_ptr<model::KeyboardDefinition> StartUpDefinition() {
  auto def = std::make_unique<model::KeyboardDefinition>();
  model::InitialiseDefinition(*def);
  return def;
}

inline model::KeyLayer& Layer(model::KeyboardDefinition& def, int row, int column, int layer) {
  return def.keys[static_cast<std::size_t>(model::KeyIndex(row, column))]
      .layers[static_cast<std::size_t>(layer)];
}

// A used layer holding IbmKeyTable row `ibmRow` with the given mode.
inline model::KeyLayer& UseTableKey(model::KeyboardDefinition& def, int row, int column, int layer,
                                    int ibmRow, std::uint8_t keymode = 0) {
  model::KeyLayer& l = Layer(def, row, column, layer);
  model::AssignTableKey(l, ibmRow);
  l.keymode = keymode;
  l.used = 1;
  return l;
}

inline model::KeyLayer& UseString(model::KeyboardDefinition& def, int row, int column, int layer,
                                  int string) {
  model::KeyLayer& l = Layer(def, row, column, layer);
  l = model::KeyLayer{};
  l.used = 1;
  l.keytype = model::STRING_KEY;
  l.ibmkey = string;
  return l;
}

inline model::StringChar Stroke(int i) {
  return {0x02, static_cast<std::uint8_t>(4 + i % 90), static_cast<std::uint8_t>(i), 0};
}

inline void SetString(model::KeyboardDefinition& def, int string, int strokes) {
  model::StringRow& row = def.stringWorkBuffer[static_cast<std::size_t>(string)];
  for (int i = 0; i < strokes; ++i) row[static_cast<std::size_t>(i)] = Stroke(i);
  row[static_cast<std::size_t>(strokes)] = model::StringChar{};
}

inline EepromImage FilledImage(std::uint8_t value) {
  EepromImage image;
  image.fill(value);
  return image;
}

}  // namespace veltrane::eeprom::test
