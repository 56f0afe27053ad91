// SPDX-License-Identifier: MIT
// The main window's controller over a started application, in a working
// directory of its own, with a scripted front end and keyboard.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "support/recording_messages.h"
#include "support/temp_dir.h"
#include "tests/ui/app/fake_link.h"
#include "tests/ui/main_window/scripted_host.h"
#include "ui/main_window/main_window_controller.h"

namespace veltrane::ui {

class ControllerFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    home = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    StartApplication(app);
    CreateMainWindowControls(view);
    RefreshControls(app, view);
    host.target = &view.editTarget;
    host.messages = &messages;
  }
  void TearDown() override { std::filesystem::current_path(home); }

  std::filesystem::path home;
  testing::TempDir dir;
  testing::RecordingMessages messages;
  NullLog log;
  Services io{messages, log};
  FakeLink link;
  ScriptedHost host;
  AppState app;
  MainWindowModel view;
  MainWindowController controller{app, view, io, link, host};
};

}  // namespace veltrane::ui
