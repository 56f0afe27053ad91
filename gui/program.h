// The desktop program's objects, built and started in the order of its
// start-up; main runs one, tests may run one with their boxes answered.
#pragma once

#include <ctime>
#include <string>

#include "gui/background_link.h"
#include "gui/main_window.h"
#include "gui/message_boxes.h"
#include "gui/window_host.h"
#include "ui/app/app_state.h"
#include "ui/app/log_file.h"
#include "ui/app/nirvex_link.h"
#include "ui/main_window/main_window_controller.h"

namespace veltrane::gui {

class Program {
 public:
  // Keeps the command line (a configuration file) and creates the main window,
  // which runs its creation step.
  explicit Program(std::string commandLine);

  // Removes what interrupted saves of earlier runs left behind, opens the log,
  // sets up the progress bar, loads the command-line file, shows the main
  // window with it and creates the test and string editor windows hidden;
  // then tells how the load went. The window takes no input before.
  void Start(std::time_t now, const std::string& logPath = ui::kLogFileName);

  ui::AppState app;
  ui::MainWindowModel view;
  MessageBoxes boxes;
  ui::LogFile log;
  const ui::Services io{boxes, log};
  ui::NirvexLink nirvex{boxes};
  fileaccess::RealFileSystem files;
  BackgroundLink link{nirvex, view.busy};
  QtWindowHost host{app, view, boxes, log, files};
  ui::MainWindowController controller{app, view, io, link, host};
  MainWindow window{view, app.progress, controller};
};

// The title's note that NIRVEX_DEVICE chooses simulated keyboards, or nothing.
QString DeviceTitleSuffix(const char* device);

}  // namespace veltrane::gui
