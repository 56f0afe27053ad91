// SPDX-License-Identifier: MIT
// "Copy layer", "Swap layers" and "Clear layer": the layers chosen in lists,
// and the line that tells what the edit will change, which OK confirms.
#pragma once

#include <optional>

#include "gui/dialogs/layout_dialog.h"
#include "model/definition.h"
#include "ui/dialogs/layer_dialog_model.h"

namespace veltrane::gui {

class LayerDialog : public LayoutDialog {
 public:
  LayerDialog(QWidget* parent, model::LayerEdit edit, const model::KeyboardDefinition& def);

  const ui::LayerDialogModel& Model() const { return model_; }

 private:
  void Sync();

  const model::KeyboardDefinition& def_;
  ui::LayerDialogModel model_;
};

// Runs the dialog modally: the layers confirmed with OK, or nothing.
std::optional<ui::LayerChoice> RunLayerDialog(QWidget* parent, model::LayerEdit edit,
                                              const model::KeyboardDefinition& def);

}  // namespace veltrane::gui
