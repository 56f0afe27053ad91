// SPDX-License-Identifier: MIT
// A definition with a key of each kind the picture draws differently.
#pragma once

#include <memory>

#include "model/definition.h"
#include "model/key_tables.h"

namespace veltrane::testing {

// 31 bytes, the most a legend holds, of characters wider than a key holds.
inline constexpr const char* kWideLegend = "ШШШШШШШШШШШШШШШW";

inline void SetKey(model::KeyboardDefinition& def, int row, int column, const char* legend,
                   int layer, int tableRow, std::uint8_t modes = 0) {
  model::KeyDefinition& key = def.keys[static_cast<std::size_t>(model::KeyIndex(row, column))];
  model::SetFieldText(key.legend, legend);
  model::KeyLayer& l = key.layers[static_cast<std::size_t>(layer)];
  model::AssignTableKey(l, tableRow);
  l.keymode = modes;
  l.used = 1;
}

inline void SetMacro(model::KeyboardDefinition& def, int row, int column, int layer, int macro) {
  model::KeyLayer& l = def.keys[static_cast<std::size_t>(model::KeyIndex(row, column))]
                           .layers[static_cast<std::size_t>(layer)];
  l.keytype = model::STRING_KEY;
  l.ibmkey = macro;
  l.used = 1;
}

inline std::unique_ptr<model::KeyboardDefinition> SampleDefinition() {
  auto def = std::make_unique<model::KeyboardDefinition>();
  model::InitialiseDefinition(*def);
  SetKey(*def, 0, 0, "Escape", 0, 110);
  SetKey(*def, 0, 0, "Escape", 1, 112);  // F1
  SetKey(*def, 3, 5, "A", 0, 31);
  SetKey(*def, 3, 5, "A", 1, 31, model::KEYMODE_SHIFT);
  SetMacro(*def, 3, 5, 2, 2);
  SetKey(*def, 6, 1, "<&\">", 0, 44);
  model::SetFieldText(def->keys[model::KeyIndex(7, 1)].legend, "Spare");
  def->keys[model::KeyIndex(7, 1)].used = 0;
  SetKey(*def, 9, 7, "Brighter", 0, 0);
  def->keys[model::KeyIndex(9, 7)].layers[0].keytype =
      model::LOCAL_ILLUMINATION_KEY | model::KEYTYPE_LIGHT_UP;
  SetKey(*def, 10, 5, "Volume up", 0, 144);
  SetKey(*def, 12, 0, kWideLegend, 0, 31);
  SetKey(*def, 12, 1, "\xC4nd", 0, 31);  // 8-bit text of an older file
  SetMacro(*def, 13, 0, 0, 3);
  SetKey(*def, 15, 7, "Off", 0, 31);
  def->keys[model::KeyIndex(15, 7)].enabled = 0;
  // Macro 2: Shift+B, E, Ctrl+C; macro 3: F13; macro 9 is named by no key.
  def->stringWorkBuffer[2][0] = {0x02, 0x05, 0x32, 0};
  def->stringWorkBuffer[2][1] = {0x00, 0x08, 0x24, 0};
  def->stringWorkBuffer[2][2] = {0x01, 0x06, 0x21, 0};
  def->stringWorkBuffer[3][0] = {0x00, 0x68, 0x08, 0};
  def->stringWorkBuffer[9][0] = {0x00, 0x04, 0x1C, 0};
  return def;
}

}  // namespace veltrane::testing
