// SPDX-License-Identifier: MIT
// The "Key Macro Tool" window: the widgets of StringEditorModel, a top-level
// window of its own that captures the keys typed while it has the focus.
#pragma once

#include <QWidget>
#include <map>

#include "ui/keyedit/string_editor_model.h"

class QKeyEvent;

namespace veltrane::gui {

// What one key event of the window means to the model: the physical key from
// the native scan code (evdev + 8), except that AltGr (ISO_Level3_Shift,
// wherever the layout puts it) is the right Alt key; only the printable
// characters it produced.
ui::EditorKeyEvent CapturedKeyOf(const QKeyEvent& event);

class StringEditorWindow : public QWidget {
  Q_OBJECT

 public:
  // The model must have been created (CreateStringEditor); the window starts hidden.
  explicit StringEditorWindow(ui::StringEditorModel& model);

  // The definition and position the commands work on; without one only key
  // capture runs. The context must outlive its use here.
  void SetContext(ui::KeyEditingContext* context);

  void Sync();
  // A button, check box or list command by control id.
  void RunCommand(int id);

  QWidget* control(int id) const;

 signals:
  // The model changed through this window (other windows showing it follow).
  void changed();

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool focusNextPrevChild(bool) override { return false; }
  void closeEvent(QCloseEvent* event) override;

 private:
  bool OwnsKeys() const;
  void TakeKeys();
  void Connect(int id, QWidget* widget);
  void SyncList();

  ui::StringEditorModel& model_;
  ui::KeyEditingContext* context_ = nullptr;
  std::map<int, QWidget*> controls_;
  QWidget* gauge_ = nullptr;
};

}  // namespace veltrane::gui
