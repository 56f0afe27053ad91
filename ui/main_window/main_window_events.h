// SPDX-License-Identifier: MIT
// What the main window's widgets report. A front end forwards every widget
// signal to exactly one of these and then mirrors the view model again.
#pragma once

#include <string>

#include "model/key_moves.h"

namespace veltrane::ui {

class MainWindowEvents {
 public:
  virtual ~MainWindowEvents() = default;
  // A click on a push button, check box, LED or matrix button, or menu item
  // 104 ("&About ...") / 105 ("E&xit"), by its id.
  virtual void OnCommand(int id) = 0;
  // The user finished editing field `id` (35084, 35119, 35149, 35193, 35187)
  // with Enter or by leaving it; while typing nothing is reported.
  virtual void OnFieldCommitted(int id, const std::string& text) = 0;
  // The user picked entry `index` of list `id` (35082, 35083, 35090, 35100).
  virtual void OnSelection(int id, int index) = 0;
  // The user typed into the field of list `id` and finished with Enter or by
  // leaving it.
  virtual void OnListTextCommitted(int id, const std::string& text) = 0;
  // A key press that reaches the main window itself, as a Windows virtual-key code.
  virtual void OnMainWindowKey(int virtualKey) = 0;
  // A matrix position chosen for the Edit menu's key commands (a right click).
  virtual void OnKeySelected(int /*keyIndex*/) {}
  // A matrix button dragged onto another position: move, copy (Ctrl) or swap (Shift).
  virtual void OnKeyDropped(int /*from*/, int /*to*/, model::KeyMove /*how*/) {}
};

}  // namespace veltrane::ui
