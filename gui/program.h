// The desktop program's objects, built and started in the order of its
// start-up; main runs one, tests may run one with their boxes answered.
#pragma once

#include <ctime>
#include <string>

#include "gui/background_link.h"
#include "gui/main_window.h"
#include "gui/message_boxes.h"
#include "gui/window_host.h"
#include "ui/app_state.h"
#include "ui/log_file.h"
#include "ui/main_window_controller.h"
#include "ui/nirvex_link.h"

namespace veltrane::gui {

class Program {
 public:
  // Keeps the command line (a configuration file for the first "Check keyboard
  // presence") and creates the main window, which runs its creation step.
  explicit Program(std::string commandLine);

  // Removes what interrupted saves of earlier runs left behind, opens the log,
  // sets up the progress bar, shows the main window and creates the test and
  // string editor windows hidden.
  void Start(std::time_t now, const std::string& logPath = ui::kLogFileName);

  ui::AppState app;
  MessageBoxes boxes;
  ui::LogFile log;
  const ui::Services io{boxes, log};
  ui::NirvexLink nirvex{boxes};
  BackgroundLink link{nirvex, app.window.busy};
  QtWindowHost host{app, boxes, log};
  ui::MainWindowController controller{app, io, link, host};
  MainWindow window{app.window, controller};
};

// The title's note that NIRVEX_DEVICE chooses simulated keyboards, or nothing.
QString DeviceTitleSuffix(const char* device);

}  // namespace veltrane::gui
