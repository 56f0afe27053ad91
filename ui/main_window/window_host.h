// SPDX-License-Identifier: MIT
// What the main window's commands need from a front end: repainting, the
// modal dialogs and the other windows. The GUI implements it with widgets,
// tests with a script.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "picture/page.h"
#include "ui/dialogs/layer_dialog_model.h"

#include "model/definition.h"

namespace veltrane::ui {

// The answer to "Save changes to NAME?".
enum class SaveChoice { Save, Discard, Cancel };

class WindowHost {
 public:
  virtual ~WindowHost() = default;
  // Mirror the main window's view model at once (a repaint of the window and its controls).
  virtual void Repaint() = 0;
  // The dialogs that edit the definition edit what the controller hands them.
  // Run the Key Settings dialog modally on `def` for the window model's EditTarget.
  virtual void RunKeySettings(model::KeyboardDefinition& def) = 0;
  // Run the Key LED dialog modally on `settings` for the window model's LedSlot.
  virtual void RunKeyLed(model::Settings& settings) = 0;
  // Run the Pointing Device dialog modally on the values of `settings`.
  virtual void RunPointingDevice(model::Settings& settings) = 0;
  // Run the Load File dialog; the path of the file confirmed with "Load", or
  // nothing when it was cancelled or nothing was selected.
  virtual std::optional<std::string> RunLoadFile() = 0;
  // Whether a name confirmed in a save chooser is taken; one refused keeps it open.
  using AcceptName = std::function<bool(const std::string& name)>;
  // Run the Save File dialog; the typed name that `accept` took, or the empty
  // text on "Cancel".
  virtual std::string RunSaveFile(const AcceptName& accept) = 0;
  virtual void RunAbout() = 0;
  virtual void ShowTestWindow() = 0;
  // Ask the question ("Save changes to NAME?") with the buttons Save, Discard and Cancel.
  virtual SaveChoice AskSaveChanges(const std::string& question) = 0;
  // "E&xit": close the log, then end the program with status 0.
  virtual void Exit() = 0;
  // "Export as text…": the name typed in the program's chooser of ".json" files that
  // `accept` took, or the empty text on "Cancel".
  virtual std::string RunExportTextFile(const AcceptName&) { return {}; }
  // Ask a question before a file is replaced, with Yes and No (the default); true for Yes.
  virtual bool AskReplace(const std::string& question, const std::string& caption) = 0;
  // "Import text…": the path of the ".json" file confirmed, or nothing.
  virtual std::optional<std::string> RunImportTextFile() { return std::nullopt; }
  // "Production line…": shows the production line window, raised.
  virtual void ShowProductionLine() {}
  // "Copy layer…", "Swap layers…", "Clear layer…": the layers confirmed, or nothing.
  virtual std::optional<LayerChoice> RunLayerDialog(model::LayerEdit) { return std::nullopt; }
  // The position (row * 8 + column) whose layer the open Key Macro Tool
  // edits, which its "OK" would write; -1 when it is not open.
  virtual int KeyInKeyMacroTool() { return -1; }
  // "Export picture…": the name typed in the program's chooser of pictures, or the empty
  // text on "Cancel".
  virtual std::string RunExportPictureFile(const AcceptName&) { return {}; }
  // "Print…": the platform's print dialog, then the pages on the printer chosen.
  virtual void PrintPicture(const std::vector<picture::Page>& /*pages*/) {}
};

}  // namespace veltrane::ui
