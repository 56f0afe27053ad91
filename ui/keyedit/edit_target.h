// SPDX-License-Identifier: MIT
// The matrix position being edited, shared by the main window, the Key
// Settings dialog and the string editor.
#pragma once

#include "model/definition.h"

namespace veltrane::ui {

struct EditTarget {
  bool editing = false;  // the main window draws its question mark on (row, column)
  int row = 0;           // Drv 0..15
  int column = 0;        // Sns 0..7
};

inline int KeyIndexOf(const EditTarget& target) {
  return model::KeyIndex(target.row, target.column);
}

}  // namespace veltrane::ui
