// SPDX-License-Identifier: MIT
// What the main window's commands ask of the Qt front end: repaints, the
// dialogs and the other top-level windows.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "fileaccess/file_system.h"
#include "gui/dialogs/production_line_window.h"
#include "gui/dialogs/test_window.h"
#include "gui/keyedit/key_editing.h"
#include "gui/message_boxes.h"
#include "station/nirvex_port.h"
#include "ui/app/app_state.h"
#include "ui/app/log_file.h"
#include "ui/main_window/main_window_model.h"
#include "ui/main_window/window_host.h"

namespace veltrane::gui {

class MainWindow;

inline constexpr const char* kAboutCaption = "About";

class QtWindowHost : public ui::WindowHost {
 public:
  QtWindowHost(ui::AppState& app, ui::MainWindowModel& view, MessageBoxes& boxes, ui::LogFile& log,
               fileaccess::FileSystem& files);
  ~QtWindowHost() override;

  void SetMainWindow(MainWindow* window) { window_ = window; }
  // What the program does at a normal end, before the log closes.
  void SetEndSteps(std::function<void()> steps) { endSteps_ = std::move(steps); }
  // The test window and the string editor window, created hidden.
  void CreateHiddenWindows();
  TestWindow* testWindow() const { return testWindow_.get(); }
  QWidget* stringEditorWindow() const {
    return keyEditing_ ? keyEditing_->stringEditorWindow() : nullptr;
  }
  KeyEditing* keyEditing() const { return keyEditing_.get(); }
  // The production line's keyboards and scanning: the library's unless a test gives its own.
  void SetStationPort(station::KeyboardPort& port, ui::ProductionLineOptions options = {}) {
    stationPort_ = &port;
    stationOptions_ = options;
  }
  ProductionLineWindow* productionLineWindow() const { return productionLine_.get(); }

  void Repaint() override;
  void RunKeySettings(model::KeyboardDefinition& def) override;
  void RunKeyLed(model::Settings& settings) override;
  void RunPointingDevice(model::Settings& settings) override;
  std::optional<std::string> RunLoadFile() override;
  std::string RunSaveFile(const AcceptName& accept) override;
  void RunAbout() override;
  void ShowTestWindow() override;
  ui::SaveChoice AskSaveChanges(const std::string& question) override;
  void Exit() override;
  std::string RunExportTextFile(const AcceptName& accept) override;
  bool AskReplace(const std::string& question, const std::string& caption) override;
  std::optional<std::string> RunImportTextFile() override;
  void ShowProductionLine() override;
  std::optional<ui::LayerChoice> RunLayerDialog(model::LayerEdit edit) override;
  int KeyInKeyMacroTool() override;
  std::string RunExportPictureFile(const AcceptName& accept) override;
  void PrintPicture(const std::vector<picture::Page>& pages) override;

 private:
  // Where the choosers open: where browsing last ended, at first the program's start directory.
  std::string& ChooserDirectory();

  ui::AppState& app_;
  ui::MainWindowModel& view_;
  MessageBoxes& boxes_;
  ui::LogFile& log_;
  fileaccess::FileSystem& files_;
  MainWindow* window_ = nullptr;
  std::function<void()> endSteps_;
  std::unique_ptr<TestWindow> testWindow_;
  std::unique_ptr<KeyEditing> keyEditing_;
  const ui::Services io_{boxes_, log_};
  station::NirvexPort nirvexPort_;
  station::KeyboardPort* stationPort_ = &nirvexPort_;
  ui::ProductionLineOptions stationOptions_;
  std::unique_ptr<ProductionLineWindow> productionLine_;  // last: its keyboards finish first
};

}  // namespace veltrane::gui
