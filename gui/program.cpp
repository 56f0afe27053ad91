#include "gui/program.h"

#include <cstdlib>
#include <string_view>

namespace veltrane::gui {
namespace {

// The main window's creation step and the reset of the per-run options, done
// on the model before the widgets mirror it.
ui::AppState Started(std::string commandLine) {
  ui::AppState app;
  ui::StartApplication(app, std::move(commandLine));
  return app;
}

}  // namespace

Program::Program(std::string commandLine) : app(Started(std::move(commandLine))) {
  host.SetMainWindow(&window);
  boxes.SetParentWindow(&window);
  window.SetTitleSuffix(DeviceTitleSuffix(std::getenv("NIRVEX_DEVICE")));
}

void Program::Start(std::time_t now, const std::string& logPath) {
  log.Open(logPath, now);
  app.window.progress.SetRange(0, 2048);
  window.show();
  window.repaint();
  host.CreateHiddenWindows();
}

QString DeviceTitleSuffix(const char* device) {
  if (device != nullptr && std::string_view(device).starts_with("sim:"))
    return QStringLiteral(" — simulated keyboard");
  return {};
}

}  // namespace veltrane::gui
