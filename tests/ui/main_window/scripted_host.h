// SPDX-License-Identifier: MIT
// A front end for the controller tests: dialogs and questions answered from a script.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/recording_messages.h"
#include "ui/keyedit/edit_target.h"
#include "ui/main_window/window_host.h"

namespace veltrane::ui {

// A front end driven by the test: dialogs answer from the script.
class ScriptedHost : public WindowHost {
 public:
  void Repaint() override { ++repaints; }
  void RunKeySettings(model::KeyboardDefinition& def) override {
    opened.push_back(*target);
    edited = &def;
    if (duringDialog) duringDialog();
  }
  void RunKeyLed(model::Settings& settings) override {
    edited = &settings;
    if (duringLed) duringLed();
  }
  void RunPointingDevice(model::Settings& settings) override {
    edited = &settings;
    if (duringPointing)
      duringPointing();
    else if (duringDialog)
      duringDialog();
  }
  std::optional<std::string> RunLoadFile() override { return loadAnswer; }
  std::string RunSaveFile(const AcceptName& accept) override {
    if (messages != nullptr) messagesBeforeSaveDialog = messages->shown.size();
    return Chosen(accept);
  }
  void RunAbout() override {}
  void ShowTestWindow() override {}
  SaveChoice AskSaveChanges(const std::string& name) override {
    asked.push_back(name);
    return choice;
  }
  void Exit() override { exited = true; }
  std::string RunExportTextFile(const AcceptName& accept) override { return Chosen(accept); }
  bool AskReplace(const std::string& question, const std::string& caption) override {
    replaceQuestions.push_back(caption + "|" + question);
    return replaceAnswer;
  }
  // The scripted name, unless it is refused: then the user cancels the chooser.
  std::string Chosen(const AcceptName& accept) const {
    return saveAnswer.empty() || accept(saveAnswer) ? saveAnswer : std::string();
  }
  std::optional<std::string> RunImportTextFile() override { return loadAnswer; }
  void ShowProductionLine() override { ++productionLines; }
  std::optional<LayerChoice> RunLayerDialog(model::LayerEdit edit) override {
    layerDialogs.push_back(edit);
    return layerAnswer;
  }
  int KeyInKeyMacroTool() override { return keyInKeyMacroTool; }
  std::string RunExportPictureFile(const AcceptName& accept) override { return Chosen(accept); }
  void PrintPicture(const std::vector<picture::Page>& pages) override {
    for (const picture::Page& page : pages) printed.push_back(page.title);
  }

  const EditTarget* target = nullptr;
  const void* edited = nullptr;  // what the last editing dialog was handed
  const testing::RecordingMessages* messages = nullptr;
  std::vector<EditTarget> opened;
  std::function<void()> duringDialog;
  std::function<void()> duringLed;
  std::function<void()> duringPointing;
  std::optional<LayerChoice> layerAnswer;
  std::vector<model::LayerEdit> layerDialogs;
  int keyInKeyMacroTool = -1;
  std::optional<std::string> loadAnswer;
  std::string saveAnswer;
  std::size_t messagesBeforeSaveDialog = 0;
  std::vector<std::string> asked;             // the questions "Save changes to NAME?"
  std::vector<std::string> replaceQuestions;  // "CAPTION|QUESTION" before a file is replaced
  bool replaceAnswer = true;
  SaveChoice choice = SaveChoice::Cancel;
  int repaints = 0;
  int productionLines = 0;
  std::vector<std::string> printed;  // the titles of the pages printed
  bool exited = false;
};

}  // namespace veltrane::ui
