// SPDX-License-Identifier: MIT
// The main window's controls as data: every child control with its kind,
// text, place and id, in the order the window creates them, and the matrix
// of key buttons beside them.
#pragma once

#include <cstdint>
#include <limits>
#include <span>
#include <string_view>

#include "model/definition.h"
#include "ui/controls/controls.h"

namespace veltrane::ui {

// Every child control of the main window other than the matrix, in table order.
std::span<const Control> ControlTable();

// The control of the table with this id, or nullptr.
const Control* FindControl(int id);

// The matrix button of a position: picture only, 16 x 16, 20 pixels apart.
constexpr Control KeyButtonAt(int row, int column) {
  return {ControlKind::PictureButton,
          id::kFirstKeyButton + model::KeyIndex(row, column),
          "",
          {column * 20 + 40, row * 20 + 40, 16, 16}};
}

// Index row * 8 + column of a key button id, or -1 for any other id.
constexpr int KeyButtonIndex(int id) {
  return id >= id::kFirstKeyButton && id <= id::kLastKeyButton ? id - id::kFirstKeyButton : -1;
}

// A control that shows a setting of the schema: a check box a flag, a list
// the entries of a listed or counted setting, a field a number or a text.
// Clicks, picks and typed texts reach the setting through the schema's range,
// which a field may narrow (the debounce time's field takes 1..255).
struct SettingControl {
  int id;
  std::string_view setting;
  std::int64_t fieldMin = std::numeric_limits<std::int64_t>::min();
};

std::span<const SettingControl> SettingControls();

// The setting control of an id, or nullptr.
const SettingControl* SettingControlOf(int id);

}  // namespace veltrane::ui
