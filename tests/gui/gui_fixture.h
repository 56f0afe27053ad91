// SPDX-License-Identifier: MIT
// The real main window over a started application, with a recording
// MainWindowEvents in place of the controller.
#pragma once

#include <gtest/gtest.h>

#include <QTest>
#include <string>
#include <utility>
#include <vector>

#include "gui/dialogs/control_widgets.h"
#include "gui/main_window.h"
#include "gui/main_window_widgets.h"
#include "ui/app/app_state.h"

namespace veltrane::testing {

class RecordingEvents : public ui::MainWindowEvents {
 public:
  void OnCommand(int id) override { commands.push_back(id); }
  void OnFieldCommitted(int id, const std::string& text) override { edits.emplace_back(id, text); }
  void OnSelection(int id, int index) override { selections.emplace_back(id, index); }
  void OnListTextCommitted(int id, const std::string& text) override {
    listTexts.emplace_back(id, text);
  }
  void OnMainWindowKey(int virtualKey) override { keys.push_back(virtualKey); }
  void OnKeySelected(int keyIndex) override { selectedKeys.push_back(keyIndex); }
  void OnKeyDropped(int from, int to, model::KeyMove how) override {
    drops.push_back({from, to, how});
  }
  bool empty() const {
    return commands.empty() && edits.empty() && selections.empty() && listTexts.empty() &&
           keys.empty() && drops.empty() && selectedKeys.empty();
  }

  struct Drop {
    int from;
    int to;
    model::KeyMove how;
    friend bool operator==(const Drop&, const Drop&) = default;
  };

  std::vector<int> commands;
  std::vector<std::pair<int, std::string>> edits;
  std::vector<std::pair<int, int>> selections;
  std::vector<std::pair<int, std::string>> listTexts;
  std::vector<int> keys;
  std::vector<int> selectedKeys;
  std::vector<Drop> drops;
};

class StartedWindow : public ::testing::Test {
 protected:
  StartedWindow() {
    ui::StartApplication(app);
    ui::CreateMainWindowControls(view);
    ui::RefreshControls(app, view);
    window = std::make_unique<gui::MainWindow>(view, app.progress, events);
    window->show();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }

  template <typename Widget>
  Widget* Control(int id) {
    auto* widget = qobject_cast<Widget*>(window->control(id));
    EXPECT_NE(widget, nullptr) << id;
    return widget;
  }

  ui::AppState app;
  ui::MainWindowModel view;
  RecordingEvents events;
  std::unique_ptr<gui::MainWindow> window;
};

}  // namespace veltrane::testing
