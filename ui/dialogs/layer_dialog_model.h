// SPDX-License-Identifier: MIT
// "Copy layer…", "Swap layers…" and "Clear layer…": which layers, and what the
// edit will change before it is confirmed ("Copy Fn1 to Fn2: 37 keys change").
#pragma once

#include "model/key_moves.h"
#include "ui/controls/controls.h"
#include "ui/controls/dialog_layout.h"

namespace veltrane::ui {

// The layers the user confirmed.
struct LayerChoice {
  int from = 0;
  int to = 0;  // not used by Clear
};

// The dialog of an edit: its title ("Copy layer", "Swap layers", "Clear
// layer"), "OK", "Cancel", the lists (Clear has only the first) and the line
// that tells what will change.
const DialogLayout& LayerDialogLayout(model::LayerEdit edit);

struct LayerDialogModel {
  model::LayerEdit edit = model::LayerEdit::Copy;
  ComboBox from;  // the layer titles: "Base", "Fn1", "Fn2", "Fn1+Fn2"
  ComboBox to;
  std::string question;
  bool okEnabled = false;  // only an edit that changes a key can be confirmed
};

// Base to Fn1 for Copy and Swap, Fn1 for Clear, with the question for `def`.
LayerDialogModel OpenLayerDialog(model::LayerEdit edit, const model::KeyboardDefinition& def);

// A pick in list kLayerFrom or kLayerTo; the question follows.
void OnLayerPicked(LayerDialogModel& dialog, const model::KeyboardDefinition& def, int listId,
                   int index);

LayerChoice ChosenLayers(const LayerDialogModel& dialog);

}  // namespace veltrane::ui
