// SPDX-License-Identifier: MIT
// For the tests of the whole program: a working directory of its own with a
// simulated keyboard in it, and the main window's menu.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QMenuBar>
#include <cstdlib>
#include <filesystem>

#include "gui/main_window.h"
#include "support/temp_dir.h"

namespace veltrane::testing {

class SimulatedDesk : public ::testing::Test {
 protected:
  SimulatedDesk() {
    ::setenv("NIRVEX_DEVICE", ("sim:" + dir.File("kb.sim") + ",time=virtual").c_str(), 1);
    home = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
  }
  ~SimulatedDesk() override {
    std::filesystem::current_path(home);
    ::unsetenv("NIRVEX_DEVICE");
  }

  TempDir dir;
  std::filesystem::path home;
};

// Triggers the main window's menu item with this text.
inline void TriggerMenu(gui::MainWindow& window, const QString& text) {
  for (QAction* action : window.menuBar()->findChildren<QAction*>())
    if (action->text() == text) return action->trigger();
  ADD_FAILURE() << "no menu item " << text.toStdString();
}

}  // namespace veltrane::testing
