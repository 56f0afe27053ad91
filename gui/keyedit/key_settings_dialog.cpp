// SPDX-License-Identifier: MIT
#include "gui/keyedit/key_settings_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <utility>
#include <vector>

#include "gui/dialogs/control_widgets.h"

namespace veltrane::gui {

KeySettingsDialog::KeySettingsDialog(QWidget* parent, ui::KeySettingsModel& model,
                                     ui::StringEditorModel& editor, ui::KeyEditingContext& context)
    : QDialog(parent), model_(model), editor_(editor), context_(context) {
  setWindowTitle(ToQString(ui::kKeySettingsTitle));
  setFixedSize(ui::kKeySettingsWidth, ui::kKeySettingsHeight);
  UseTableFont(*this);
  // The template places the dialog relative to its owner's client area.
  if (parent != nullptr) move(parent->mapToGlobal(QPoint(ui::kKeySettingsX, ui::kKeySettingsY)));
  ui::StartKeySettingsDialog(model_, editor_, context_);
  for (const ui::Control& entry : ui::KeySettingsControls()) {
    QWidget* widget = CreateControl(this, entry);
    if (entry.id == ui::id::kNone) continue;
    controls_[entry.id] = widget;
    Connect(entry.id, widget);
  }
  for (int layer = 0; layer < model::kLayerCount; ++layer) {
    if (auto* note = qobject_cast<QLabel*>(control(ui::id::kLayerNoteFirst + layer))) {
      note->setWordWrap(true);
      note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
  }
  clock_.start();
  Sync();
}

QWidget* KeySettingsDialog::control(int id) const {
  const auto found = controls_.find(id);
  return found == controls_.end() ? nullptr : found->second;
}

void KeySettingsDialog::Connect(int id, QWidget* widget) {
  if (auto* list = qobject_cast<ChoiceList*>(widget)) {
    list->onChar = [this, id](char typed) {
      ui::OnKeySettingsListChar(model_, id, typed, clock_.elapsed());
      Sync();
    };
    list->onChoose = [this, id](int entry) {
      ui::ChooseInKeySettingsList(model_, id, entry);
      Sync();
    };
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    connect(button, &QAbstractButton::clicked, this, [this, id] { RunCommand(id); });
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    connect(edit, &QLineEdit::textEdited, this,
            [this, edit](const QString& text) { KeepLegend(*edit, text); });
  }
}

void KeySettingsDialog::KeepLegend(QLineEdit& edit, const QString& typed) {
  model_.legend.text = ui::FitLegendText(ToBytes(typed));
  const QString kept = ToQString(model_.legend.text);
  if (kept == typed) return;
  // The cursor stays behind what was kept of the text before it.
  const QString before = ToQString(ui::FitLegendText(ToBytes(typed.left(edit.cursorPosition()))));
  edit.setText(kept);
  edit.setCursorPosition(static_cast<int>(std::min(before.size(), kept.size())));
}

void KeySettingsDialog::Sync() {
  Show(control(ui::id::kKeyUsed), model_.keyUsed);
  Show(control(ui::id::kKeyEnabled), model_.keyEnabled);
  Show(control(ui::id::kLegend), model_.legend);
  if (auto* label = qobject_cast<QLabel*>(control(ui::id::kPosition)))
    label->setText(ToQString(model_.positionText));
  for (int layer = 0; layer < model::kLayerCount; ++layer) {
    const ui::KeySettingsLayer& group = model_.layers[static_cast<std::size_t>(layer)];
    Show(control(ui::id::kLayerUsedFirst + layer), group.used);
    for (const auto& [id, shown] : {std::pair{ui::id::kIbmKeyListFirst + layer, &group.ibmKey},
                                    std::pair{ui::id::kKeyTypeListFirst + layer, &group.keyType}}) {
      auto* list = qobject_cast<ChoiceList*>(control(id));
      if (list == nullptr) continue;
      Show(list, *shown);
      std::vector<bool> choosable(shown->items.size());
      for (std::size_t i = 0; i < choosable.size(); ++i)
        choosable[i] = ui::IsChoosable(model_, id, static_cast<int>(i));
      list->SetChoosable(choosable);
    }
    if (auto* note = qobject_cast<QLabel*>(control(ui::id::kLayerNoteFirst + layer)))
      note->setText(ToQString(group.note));
  }
}

void KeySettingsDialog::RunCommand(int id) {
  const int result = ui::OnKeySettingsCommand(model_, editor_, context_, id);
  Sync();
  if (result != 0) QDialog::done(result);
}

void KeySettingsDialog::accept() {
  RunCommand(1);
}

void KeySettingsDialog::reject() {
  RunCommand(2);
}

}  // namespace veltrane::gui
