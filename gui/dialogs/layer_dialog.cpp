// SPDX-License-Identifier: MIT
#include "gui/dialogs/layer_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace veltrane::gui {

LayerDialog::LayerDialog(QWidget* parent, model::LayerEdit edit,
                         const model::KeyboardDefinition& def)
    : LayoutDialog(ui::LayerDialogLayout(edit), parent),
      def_(def),
      model_(ui::OpenLayerDialog(edit, def)) {
  for (const int id : {ui::id::kLayerFrom, ui::id::kLayerTo}) {
    QComboBox* list = Combo(id);
    if (list == nullptr) continue;
    connect(list, &QComboBox::activated, this, [this, id](int index) {
      ui::OnLayerPicked(model_, def_, id, index);
      Sync();
    });
  }
  Sync();
}

void LayerDialog::Sync() {
  if (QComboBox* from = Combo(ui::id::kLayerFrom)) Show(from, model_.from);
  if (QComboBox* to = Combo(ui::id::kLayerTo)) Show(to, model_.to);
  if (auto* question = qobject_cast<QLabel*>(Control(ui::id::kLayerQuestion)))
    question->setText(ToQString(model_.question));
  Button(ui::id::kOk)->setEnabled(model_.okEnabled);
}

std::optional<ui::LayerChoice> RunLayerDialog(QWidget* parent, model::LayerEdit edit,
                                              const model::KeyboardDefinition& def) {
  LayerDialog dialog(parent, edit, def);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return ui::ChosenLayers(dialog.Model());
}

}  // namespace veltrane::gui
