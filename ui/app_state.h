// The application state that lives for the whole process: the one definition,
// the header image, the EEPROM image buffer, the main window's controls, the
// file-name texts and the per-run options.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "eeprom/image_layout.h"
#include "model/definition.h"
#include "model/diagnostics.h"
#include "persist/header_image.h"
#include "ui/main_window_model.h"
#include "ui/progress_bar.h"

namespace veltrane::ui {

inline constexpr std::string_view kInitialBaseName = "EEPkey";

struct RunOptions {
  bool matrixEnabled = false;
  bool writeBinFile = false;
  bool writeTxtFile = false;
  bool copyEepromBin = false;
  bool writeSavedTxt = false;
};

struct AppState {
  model::KeyboardDefinition def;
  persist::HeaderImage header;
  eeprom::EepromImage image{};
  MainWindowModel window;
  ProgressBar progress;
  RunOptions options;
  std::string commandLineText;
  std::string dataDirectory;  // empty, or ends in "/"
  std::string baseName = std::string(kInitialBaseName);
  std::string chosenFileName;
  std::string versionText;
  int firmwareVersion = 0;
  model::MessageSink* messages = nullptr;
  model::LogSink* log = nullptr;
};

// The program's start-up: the main window's creation step (controls, cleared
// definition) followed by the reset of the per-run options.
void StartApplication(AppState& app, model::MessageSink& messages, model::LogSink* log,
                      std::string commandLine = {});

// Copies HeaderImage into the live settings and brings every control up to date.
void ApplyLoadedSettings(AppState& app);

// Sets the check boxes that follow values and the "Generate EEPROM File" state,
// as a repaint of the window does.
void RefreshCheckBoxes(AppState& app);

}  // namespace veltrane::ui
