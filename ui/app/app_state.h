// SPDX-License-Identifier: MIT
// The application state that lives for the whole process: the document, the
// progress of the transfer in hand and the definition the user last kept.
#pragma once

#include <string>

#include "model/settings_schema.h"
#include "ui/app/document.h"
#include "ui/app/progress_bar.h"
#include "ui/app/services.h"
#include "ui/app/undo_history.h"
#include "ui/app/unsaved_changes.h"

namespace veltrane::ui {

struct AppState {
  Document doc;
  ProgressBar progress;
  model::KeyboardDefinition kept;  // the definition as last loaded, saved, read or started
  UndoHistory history;             // the user's steps since start-up
  // How many loads and reads have replaced the settings; the window's rules
  // that follow such a replacement go by it.
  int settingsApplied = 0;
  // The production line runs over the definition: nothing may change it.
  bool locked = false;
};

// The program's start-up: the definition and settings at their defaults and
// the per-run options reset. A configuration file named on the command line
// is taken relative to the current directory now, whatever directory later
// commands use.
void StartApplication(AppState& app, std::string commandLine = {});

// Replaces the settings with those a load or read brought, as the window's
// controls can hold them (model::KeepWithinRanges).
void ApplySettings(AppState& app, model::Settings settings);

}  // namespace veltrane::ui
