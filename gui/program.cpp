#include "gui/program.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWindow>
#include <cstdlib>
#include <string_view>

#include "fileaccess/paths.h"
#include "fileaccess/stale_temporaries.h"
#include "ui/app/keyboard_commands.h"

namespace veltrane::gui {
namespace {

// The start-up of the document, done before the widgets mirror it.
ui::AppState Started(std::string commandLine) {
  ui::AppState app;
  ui::StartApplication(app, std::move(commandLine));
  return app;
}

// The main window's creation step, showing the started document.
ui::MainWindowModel Created(const ui::AppState& app) {
  ui::MainWindowModel view;
  ui::CreateMainWindowControls(view);
  ui::RefreshControls(app, view);
  return view;
}

// Temporary files that a save of an earlier run, cut short, left where this
// run writes: the current directory and that of the command-line file.
void RemoveLeftovers(const ui::AppState& app) {
  fileaccess::RemoveStaleTemporaries(".");
  if (!app.doc.commandLineText.empty())
    fileaccess::RemoveStaleTemporaries(fileaccess::DirectoryOf(app.doc.commandLineText));
}

// Lets the window system place and show the window (user input is left
// queued), so that boxes opened now are centred over it; a second at most.
void WaitUntilExposed(QWidget& window) {
  QElapsedTimer waited;
  waited.start();
  while (window.windowHandle() != nullptr && !window.windowHandle()->isExposed() &&
         waited.elapsed() < 1000)
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
}

}  // namespace

Program::Program(std::string commandLine)
    : app(Started(std::move(commandLine))), view(Created(app)) {
  host.SetMainWindow(&window);
  boxes.SetParentWindow(&window);
  window.SetTitleSuffix(DeviceTitleSuffix(std::getenv("NIRVEX_DEVICE")));
}

void Program::Start(std::time_t now, const std::string& logPath) {
  RemoveLeftovers(app);
  log.Open(logPath, now);
  app.progress.SetRange(0, 2048);
  // The command-line file is what the window first shows; how its load went
  // is told over the window.
  ui::HeldMessages told;
  ui::LoadCommandLineFile(app, {told, log});
  ui::RefreshControls(app, view);
  window.Sync();
  window.show();
  window.repaint();
  host.CreateHiddenWindows();
  if (!told.empty()) WaitUntilExposed(window);
  told.ShowTo(boxes);
}

QString DeviceTitleSuffix(const char* device) {
  if (device != nullptr && std::string_view(device).starts_with("sim:"))
    return QStringLiteral(" — simulated keyboard");
  if (device != nullptr && std::string_view(device).starts_with("simdir:"))
    return QStringLiteral(" — simulated keyboards");
  return {};
}

}  // namespace veltrane::gui
