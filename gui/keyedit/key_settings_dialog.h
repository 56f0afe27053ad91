// SPDX-License-Identifier: MIT
// The "Key Settings" dialog: the widgets of KeySettingsModel. Every click or
// key goes to the model's command function, then the widgets mirror the model
// again through Sync. The eight lists are ChoiceLists: an entry picked in
// one goes to ChooseInKeySettingsList, letters typed into one to
// OnKeySettingsListChar with the dialog's millisecond clock; below each
// layer's key list a note tells whether its choice is pending.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <map>

class QLineEdit;

#include "ui/keyedit/key_settings_model.h"
#include "ui/keyedit/string_editor_model.h"

namespace veltrane::gui {

class KeySettingsDialog : public QDialog {
  Q_OBJECT

 public:
  // Starts the dialog model for context.target and builds the widgets at the
  // model's pixel geometry. The models and the context outlive the dialog.
  KeySettingsDialog(QWidget* parent, ui::KeySettingsModel& model, ui::StringEditorModel& editor,
                    ui::KeyEditingContext& context);

  // Mirrors the model into the widgets.
  void Sync();
  // Runs a command of the model by control id; a result ends the dialog with it.
  void RunCommand(int id);

  QWidget* control(int id) const;

 public slots:
  void accept() override;  // Enter: "OK"
  void reject() override;  // Escape and the close box: "Cancel"

 private:
  void Connect(int id, QWidget* widget);
  // What the legend field keeps of what was typed or pasted (FitLegendText).
  void KeepLegend(QLineEdit& edit, const QString& typed);

  ui::KeySettingsModel& model_;
  ui::StringEditorModel& editor_;
  ui::KeyEditingContext& context_;
  std::map<int, QWidget*> controls_;
  QElapsedTimer clock_;  // the type-ahead's pause
};

}  // namespace veltrane::gui
