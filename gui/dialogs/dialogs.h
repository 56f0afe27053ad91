// SPDX-License-Identifier: MIT
// Entry points of the auxiliary dialogs for the main window. Each Run function
// shows its dialog modally over parent and returns when it is closed; the Make
// functions build the same dialog without running it, for callers that show
// and drive it themselves. A made dialog must be destroyed before its parent.
// The test window is TestWindow: created hidden at start-up, ShowTestWindow()
// for "Test keyboard".
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "gui/dialogs/about_dialog.h"
#include "gui/dialogs/file_chooser_dialog.h"
#include "gui/dialogs/led_dialog.h"
#include "gui/dialogs/pointing_device_dialog.h"
#include "gui/dialogs/test_window.h"
#include "model/definition.h"
#include "ui/dialogs/pointing_device_dialog_model.h"

class QWidget;

namespace veltrane::gui {

// "Key LED settings" for LED ledSlot (0..3): every pick is stored into
// settings at once, also when the dialog is then cancelled. The caller
// repaints the main window afterwards, on "OK" and on "Cancel" alike.
void RunKeyLedDialog(QWidget* parent, model::Settings& settings, int ledSlot);
std::unique_ptr<LedDialog> MakeLedDialog(QWidget* parent, model::Settings& settings, int ledSlot);

// "Pointing Device": "OK" stores the low 8 bits of each field into params (0
// for a field that is not a number); "Cancel" stores nothing.
void RunPointingDeviceDialog(QWidget* parent, ui::PointDeviceParams& params);
std::unique_ptr<PointingDeviceDialog> MakePointingDeviceDialog(QWidget* parent,
                                                               ui::PointDeviceParams& params);

// "Load File": the absolute path of the chosen ".dat" file, nothing on
// "Cancel". The caller loads it. The chooser opens on `directory` and leaves
// there the directory browsing ended in, also after "Cancel".
std::optional<std::string> RunLoadFileDialog(QWidget* parent, fileaccess::FileSystem& files,
                                             std::string& directory);
// "Save File": the typed name taken against the chooser's directory that
// `accept` took (one it refuses keeps the chooser open), "" on "Cancel".
// Writes nothing itself.
std::string RunSaveFileDialog(QWidget* parent, fileaccess::FileSystem& files,
                              std::string& directory,
                              const std::function<bool(const std::string&)>& accept = {});
std::unique_ptr<FileChooserDialog> MakeFileChooserDialog(QWidget* parent, ui::ChooserKind kind,
                                                         fileaccess::FileSystem& files,
                                                         std::string directory);

// "About": the program's name and version text.
void RunAboutDialog(QWidget* parent);
std::unique_ptr<AboutDialog> MakeAboutDialog(QWidget* parent);

}  // namespace veltrane::gui
