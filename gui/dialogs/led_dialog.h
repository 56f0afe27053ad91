// SPDX-License-Identifier: MIT
// "Key LED settings": the function of one keyboard LED, stored at every pick.
#pragma once

#include "gui/dialogs/layout_dialog.h"
#include "model/definition.h"
#include "ui/dialogs/led_dialog_model.h"

namespace veltrane::gui {

class LedDialog : public LayoutDialog {
 public:
  LedDialog(QWidget* parent, model::Settings& settings, int ledSlot);

  const ui::LedDialogModel& Model() const { return model_; }

 protected:
  void OnOk() override;
  void OnCancel() override;

 private:
  model::Settings& settings_;
  ui::LedDialogModel model_;
};

}  // namespace veltrane::gui
