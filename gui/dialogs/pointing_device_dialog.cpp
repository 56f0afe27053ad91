// SPDX-License-Identifier: MIT
#include "gui/dialogs/pointing_device_dialog.h"

#include <QLineEdit>

namespace veltrane::gui {

PointingDeviceDialog::PointingDeviceDialog(QWidget* parent, ui::PointDeviceParams& params)
    : LayoutDialog(ui::PointingDeviceDialogLayout(), parent),
      params_(params),
      model_(ui::OpenPointingDeviceDialog(params)) {
  for (const ui::PointingField& field : ui::PointingFields()) {
    Edit(field.id)->setText(ToQString(ui::PointingFieldById(model_, field.id)->text));
  }
}

void PointingDeviceDialog::OnOk() {
  for (const ui::PointingField& field : ui::PointingFields()) {
    ui::PointingFieldById(model_, field.id)->text = Edit(field.id)->text().toStdString();
  }
  ui::OnPointingDeviceOk(model_, params_);
  LayoutDialog::OnOk();
}

void PointingDeviceDialog::OnCancel() {
  ui::OnPointingDeviceCancel(model_);
  LayoutDialog::OnCancel();
}

}  // namespace veltrane::gui
