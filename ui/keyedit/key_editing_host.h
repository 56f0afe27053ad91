// SPDX-License-Identifier: MIT
// What the key editing models need from the windows around them, and the
// shared state they work on.
#pragma once

#include <string>

#include "model/definition.h"
#include "model/diagnostics.h"
#include "ui/keyedit/edit_target.h"

namespace veltrane::ui {

class KeyEditingHost {
 public:
  virtual ~KeyEditingHost() = default;
  // Redraws the matrix at once, with the question mark on EditTarget.
  virtual void RepaintMainWindow() = 0;
  virtual void ShowStringEditor() = 0;
  virtual void HideStringEditor() = 0;
  // Gives the keyboard focus to the string editor window so that typing is captured.
  virtual void FocusStringEditor() = 0;
  // An edit of the definition is complete (a position stored, a list
  // assigned, a key given back): one undo step, named e.g. "Assign Macro 3/5".
  virtual void StepTaken(const std::string& /*name*/) {}
};

struct KeyEditingContext {
  model::KeyboardDefinition& def;
  EditTarget& target;
  model::LogSink* log;
  model::MessageSink& messages;
  KeyEditingHost& host;
};

}  // namespace veltrane::ui
