// SPDX-License-Identifier: MIT
#include "gui/keyedit/key_editing.h"

#include "gui/keyedit/key_settings_dialog.h"
#include "gui/keyedit/string_editor_window.h"

namespace veltrane::gui {

KeyEditing::KeyEditing(const model::KeyboardDefinition& def) {
  ui::CreateStringEditor(editor_, def);
  window_ = std::make_unique<StringEditorWindow>(editor_);
  // The editor's "OK" loads the key into the dialog model; the dialog follows.
  QObject::connect(window_.get(), &StringEditorWindow::changed, window_.get(), [this] {
    if (dialog_ != nullptr) dialog_->Sync();
  });
}

KeyEditing::~KeyEditing() = default;

void KeyEditing::RunKeySettings(QWidget* mainWindow, model::KeyboardDefinition& def,
                                ui::EditTarget& target, model::LogSink* log,
                                model::MessageSink& messages,
                                std::function<void()> repaintMainWindow) {
  repaint_ = std::move(repaintMainWindow);
  context_.emplace(ui::KeyEditingContext{def, target, log, messages, *this});
  window_->SetContext(&*context_);
  KeySettingsDialog dialog(mainWindow, dialogModel_, editor_, *context_);
  dialog.setWindowModality(Qt::WindowModal);  // the editor window is no child of the main window
  dialog_ = &dialog;
  dialog.exec();
  dialog_ = nullptr;
}

QWidget* KeyEditing::stringEditorWindow() {
  return window_.get();
}

KeySettingsDialog* KeyEditing::keySettingsDialog() {
  return dialog_.data();
}

void KeyEditing::RepaintMainWindow() {
  if (repaint_) repaint_();
}

void KeyEditing::ShowStringEditor() {
  window_->Sync();
  window_->show();
  window_->raise();
  window_->activateWindow();
  window_->setFocus(Qt::OtherFocusReason);  // typing is captured at once
}

void KeyEditing::StepTaken(const std::string& name) {
  if (record_) record_(name);
}

void KeyEditing::HideStringEditor() {
  window_->hide();
}

void KeyEditing::FocusStringEditor() {
  window_->activateWindow();
  window_->setFocus(Qt::OtherFocusReason);
}

}  // namespace veltrane::gui
