// SPDX-License-Identifier: MIT
#include "gui/dialogs/led_dialog.h"

#include <QComboBox>

namespace veltrane::gui {

LedDialog::LedDialog(QWidget* parent, model::Settings& settings, int ledSlot)
    : LayoutDialog(ui::LedDialogLayout(), parent),
      settings_(settings),
      model_(ui::OpenLedDialog(settings, ledSlot)) {
  QComboBox* combo = Combo(ui::id::kLedList);
  Show(combo, model_.led);
  connect(combo, &QComboBox::currentIndexChanged, this,
          [this](int index) { ui::OnLedPicked(model_, settings_, index); });
}

void LedDialog::OnOk() {
  ui::OnLedDialogClosed(model_);
  LayoutDialog::OnOk();
}

void LedDialog::OnCancel() {
  ui::OnLedDialogClosed(model_);
  LayoutDialog::OnCancel();
}

}  // namespace veltrane::gui
