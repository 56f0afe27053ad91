// The image side of the main window's commands: building the EEPROM image,
// writing the image files and decoding an image read back.
#pragma once

#include <string>
#include <string_view>

#include "ui/app_state.h"

namespace veltrane::ui {

// The second half of the detection step: the version text is shown in its
// field and FirmwareVersion derived from it.
void SetVersionText(AppState& app, std::string_view text);

// Shows "No Keyboard Found!" (caption "ReadFirmwareVersion").
void ShowNoKeyboardFound(AppState& app);

// Builds the image from the definition and the settings as the window shows
// them. Strokes left out of the string store are reported; a definition with
// more distinct meanings than the image holds is refused with a message, and
// then the image must not be used (false).
bool BuildImageForUse(AppState& app);

// "Generate EEPROM File" after its detection step.
void GenerateImageFiles(AppState& app);

// Decodes app.image into the definition and applies the header it filled.
void DecodeReadImage(AppState& app);

// The Save command after its detection step: build, naming rule, write, report.
// Returns whether the configuration file was written; a cancelled dialog
// (empty name) writes nothing.
bool SaveSettings(AppState& app, const std::string& chosenName);

}  // namespace veltrane::ui
