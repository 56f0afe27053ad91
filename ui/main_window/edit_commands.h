// SPDX-License-Identifier: MIT
// The Edit menu of the main window and the matrix's drag and drop: undo and
// redo, the key at the selected position cut, copied, pasted or swapped, the
// layer edits, and the names of the steps the window's commands make.
#pragma once

#include <string>

#include "ui/app/app_state.h"
#include "ui/main_window/main_window_model.h"
#include "ui/main_window/window_host.h"

namespace veltrane::ui {

struct EditContext {
  AppState& app;
  MainWindowModel& window;
  const Services& io;
  WindowHost& host;
};

// Runs `id` when it is one of the Edit menu's commands; false for any other id.
bool RunEditCommand(const EditContext& edit, int id);

// Key `from` moved, copied or swapped onto `to`, as one step. Nothing for the
// same position or one outside the matrix; when the open Key Macro Tool edits
// one of the two, the user is asked first; a copy that does not fit the macro
// store is told and refused.
// True when the definition changed.
bool DropKey(const EditContext& edit, int from, int to, model::KeyMove how);

// The name of the step that command `id` of the main window made, given the
// definition before it: "Load desk.DAT", "New - Clear all", "DebounceTime 28 → 12".
std::string CommandStepName(int id, const model::KeyboardDefinition& before, const AppState& app);

// After command `id` of the main window: what it changed becomes one step
// named for it. A command that only writes the definition somewhere (a file,
// an image, a keyboard) makes none: what it derives on the way (the strokes
// counted again) is no edit. Program and "Check keyboard presence" make a
// "Load" step when they loaded the file named on the command line, pending
// before (`commandLineFilePending`).
void RecordCommandStep(AppState& app, int id, bool commandLineFilePending);

// The Edit menu's captions and which of its commands can run.
void RefreshEditMenu(const AppState& app, MainWindowModel& window);

}  // namespace veltrane::ui
