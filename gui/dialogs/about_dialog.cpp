// SPDX-License-Identifier: MIT
#include "gui/dialogs/about_dialog.h"

#include "ui/dialogs/about_dialog_model.h"

namespace veltrane::gui {

AboutDialog::AboutDialog(QWidget* parent) : LayoutDialog(ui::AboutDialogLayout(), parent) {}

}  // namespace veltrane::gui
