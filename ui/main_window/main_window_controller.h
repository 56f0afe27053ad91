// SPDX-License-Identifier: MIT
// The main window's behaviour: every command of its controls, the key matrix
// pictures, the three-key shortcut, over the application state.
#pragma once

#include "ui/app/app_state.h"
#include "ui/app/keyboard_link.h"
#include "ui/app/services.h"
#include "ui/main_window/main_window_events.h"
#include "ui/main_window/main_window_model.h"
#include "ui/main_window/window_host.h"

namespace veltrane::ui {

class MainWindowController : public MainWindowEvents {
 public:
  MainWindowController(AppState& app, MainWindowModel& window, const Services& io,
                       KeyboardLink& link, WindowHost& host);

  void OnCommand(int id) override;
  void OnFieldCommitted(int id, const std::string& text) override;
  void OnSelection(int id, int index) override;
  void OnListTextCommitted(int id, const std::string& text) override;
  void OnMainWindowKey(int virtualKey) override;
  void OnKeySelected(int keyIndex) override;
  void OnKeyDropped(int from, int to, model::KeyMove how) override;

  AppState& app() { return app_; }
  MainWindowModel& window() { return window_; }

 private:
  void RunCommand(int id);
  // What a settings control changed, as one step.
  void RecordSettingStep();
  void Repaint();
  // Before work that replaces the definition: true to go on, after the user
  // saved or discarded unsaved changes; false when they cancelled (or the save
  // did not happen).
  bool KeepOrSaveChanges();
  bool Save();
  void OpenKeySettings(int row, int column);
  void RunKeyLed(int slot);
  void LoadSettings();
  void NewClearAll();
  void TogglePointingDevice();
  void ToggleBeep();

  AppState& app_;
  MainWindowModel& window_;
  const Services& io_;
  KeyboardLink& link_;
  WindowHost& host_;
};

}  // namespace veltrane::ui
