// SPDX-License-Identifier: MIT
// The "Key LED settings" dialog: which function the LED of LedSlot shows.
// Every pick is stored at once; "OK" and "Cancel" both only close.
#pragma once

#include <cstdint>

#include "model/definition.h"
#include "ui/controls/controls.h"
#include "ui/controls/dialog_layout.h"

namespace veltrane::ui {

// Title, "OK", "Cancel", the label "Key LED:" and combo box 35092.
const DialogLayout& LedDialogLayout();

struct LedDialogModel {
  ComboBox led;  // 35092, the six LED texts
  int ledSlot = 0;
  bool finished = false;
  bool repaintMainWindow = false;  // set on close: the LED buttons show the new state
};

// The combo box filled and the slot's current value selected; a value outside
// the list (from a file) selects nothing.
LedDialogModel OpenLedDialog(const model::Settings& settings, int ledSlot);

// A pick of entry index; stored into the slot's LED at once. Indexes outside
// the list and slots outside 0..3 store nothing.
void OnLedPicked(LedDialogModel& dialog, model::Settings& settings, int index);

// "OK" and "Cancel": the dialog ends and asks for the main window's repaint.
void OnLedDialogClosed(LedDialogModel& dialog);

}  // namespace veltrane::ui
