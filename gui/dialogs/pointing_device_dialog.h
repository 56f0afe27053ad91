// SPDX-License-Identifier: MIT
// "Pointing Device": the twenty tuning values, stored only by an "OK" that
// finds every field a value 0..255.
#pragma once

#include "gui/dialogs/layout_dialog.h"
#include "ui/dialogs/pointing_device_dialog_model.h"

namespace veltrane::gui {

class PointingDeviceDialog : public LayoutDialog {
 public:
  PointingDeviceDialog(QWidget* parent, ui::PointDeviceParams& params);

 protected:
  void OnOk() override;
  void OnCancel() override;

 private:
  ui::PointDeviceParams& params_;
  ui::PointingDeviceDialogModel model_;
};

}  // namespace veltrane::gui
