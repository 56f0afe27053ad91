// SPDX-License-Identifier: MIT
// Key editing for the main window: the "Key Settings" dialog run modally
// over the main window, and the "Key Macro Tool" string editor window it
// opens, a top-level window of its own that stays usable meanwhile.
//
// The main program creates one KeyEditing at start-up (the editor window
// hidden) and destroys it before the QApplication. Its WindowHost runs
//   keyEditing.RunKeySettings(mainWindow, def, window.editTarget, log, messages,
//                             [&] { /* repaint the matrix at once */ });
// for a click on a matrix button or the three-key shortcut.
#pragma once

#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

#include "ui/keyedit/key_editing_host.h"
#include "ui/keyedit/key_settings_model.h"
#include "ui/keyedit/string_editor_model.h"

class QWidget;

namespace veltrane::gui {

class KeySettingsDialog;
class StringEditorWindow;

class KeyEditing : public ui::KeyEditingHost {
 public:
  // Creates the string editor window hidden: flags clear, "Extra Keys" on its
  // empty entry, the capacity gauge for def.
  explicit KeyEditing(const model::KeyboardDefinition& def);
  ~KeyEditing() override;
  KeyEditing(const KeyEditing&) = delete;
  KeyEditing& operator=(const KeyEditing&) = delete;

  // Runs the dialog for target until "OK" or "Cancel", modal for mainWindow
  // only. The definition, target, log and messages must live as long as this
  // object: the editor window works on them also after the dialog has ended.
  // repaintMainWindow redraws the matrix at once (the question mark follows target).
  void RunKeySettings(QWidget* mainWindow, model::KeyboardDefinition& def, ui::EditTarget& target,
                      model::LogSink* log, model::MessageSink& messages,
                      std::function<void()> repaintMainWindow);

  QWidget* stringEditorWindow();
  // The dialog while RunKeySettings runs, else nullptr.
  KeySettingsDialog* keySettingsDialog();
  const ui::StringEditorModel& stringEditor() const { return editor_; }

  // ui::KeyEditingHost
  void RepaintMainWindow() override;
  void ShowStringEditor() override;
  void HideStringEditor() override;
  void FocusStringEditor() override;
  void StepTaken(const std::string& name) override;

  // Where the steps of key editing go (the undo history); none at first.
  void SetStepRecorder(std::function<void(const std::string& name)> record) {
    record_ = std::move(record);
  }

 private:
  ui::StringEditorModel editor_;
  // Outlives every dialog: the editor refreshes it through its address after the dialog ended.
  ui::KeySettingsModel dialogModel_;
  std::optional<ui::KeyEditingContext> context_;
  std::function<void()> repaint_;
  std::function<void(const std::string&)> record_;
  std::unique_ptr<StringEditorWindow> window_;
  QPointer<KeySettingsDialog> dialog_;
};

}  // namespace veltrane::gui
