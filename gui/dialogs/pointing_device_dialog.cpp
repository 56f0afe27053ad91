// SPDX-License-Identifier: MIT
#include "gui/dialogs/pointing_device_dialog.h"

#include <QLineEdit>

#include "gui/dialogs/control_widgets.h"

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
  if (model_.finished) return LayoutDialog::OnOk();
  // Refused fields show their stored values again; their tooltips say why.
  for (const ui::PointingField& field : ui::PointingFields())
    Show(Edit(field.id), *ui::PointingFieldById(model_, field.id));
}

void PointingDeviceDialog::OnCancel() {
  ui::OnPointingDeviceCancel(model_);
  LayoutDialog::OnCancel();
}

}  // namespace veltrane::gui
