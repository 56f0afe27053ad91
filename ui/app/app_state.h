// The application state that lives for the whole process: the document and
// the main window's view model.
#pragma once

#include <string>

#include "ui/app/document.h"
#include "ui/app/main_window_model.h"
#include "ui/app/services.h"
#include "ui/app/unsaved_changes.h"

namespace veltrane::ui {

struct AppState {
  Document doc;
  MainWindowModel window;
  DefinitionSnapshot kept;  // the definition as last loaded, saved, read or started
};

// The program's start-up: the main window's creation step (controls, cleared
// definition) followed by the reset of the per-run options. A configuration
// file named on the command line is taken relative to the current directory
// now, whatever directory later commands make current.
void StartApplication(AppState& app, std::string commandLine = {});

// The settings a loaded header carries, copied into the live settings and
// shown in every control.
void ApplyLoadedSettings(AppState& app);

// Brings the controls that follow values up to date (check boxes, the beep
// field, "Generate EEPROM File", the matrix and LED pictures, the title's
// mark of unsaved changes), as every repaint of the window does.
void RefreshControls(AppState& app);

// The matrix and LED pictures and the matrix tooltips alone.
void RefreshPictures(AppState& app);

}  // namespace veltrane::ui
