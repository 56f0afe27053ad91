// veltrane: the desktop program.
#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <cstdlib>
#include <ctime>
#include <string>

#include "gui/background_link.h"
#include "gui/key_pictures.h"
#include "gui/main_window.h"
#include "gui/message_boxes.h"
#include "gui/window_host.h"
#include "ui/app_state.h"
#include "ui/log_file.h"
#include "ui/main_window_controller.h"
#include "ui/nirvex_link.h"

namespace {

// VELTRANE_EXIT_AFTER_FIRST_PAINT=1 ends the run once the window has been
// painted, for timing the start-up.
class FirstPaintExit : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint)
      QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    return false;
  }
};

bool SimulatedKeyboard() {
  const char* device = std::getenv("NIRVEX_DEVICE");
  return device != nullptr && std::string(device).starts_with("sim:");
}

}  // namespace

int main(int argc, char** argv) {
  using namespace veltrane;
  QApplication qapp(argc, argv);
  // The one argument is a configuration file, loaded by the first "Check keyboard presence".
  const std::string commandLine = argc > 1 ? argv[1] : "";
  QApplication::setApplicationName(gui::kApplicationName);
  QApplication::setWindowIcon(QIcon::fromTheme(
      "veltrane", QIcon(gui::KeyPicturePixmap(ui::KeyPicture::Complete, QSize(64, 64), 1))));

  // The main window's creation step and the reset of the per-run options.
  ui::AppState app;
  ui::StartApplication(app, commandLine);
  gui::MessageBoxes boxes;
  ui::LogFile log;
  const ui::Services io{boxes, log};
  ui::NirvexLink nirvex(boxes);
  gui::BackgroundLink link(nirvex, app.window.busy);
  gui::QtWindowHost host(boxes, log);
  ui::MainWindowController controller(app, io, link, host);
  gui::MainWindow window(app.window, controller);
  host.SetMainWindow(&window);
  boxes.SetParentWindow(&window);
  if (SimulatedKeyboard()) window.SetTitleSuffix(QStringLiteral(" — simulated keyboard"));

  log.Open(ui::kLogFileName, std::time(nullptr));
  app.window.progress.SetRange(0, 2048);

  FirstPaintExit firstPaint;
  if (std::getenv("VELTRANE_EXIT_AFTER_FIRST_PAINT") != nullptr)
    window.surface()->installEventFilter(&firstPaint);
  window.show();
  window.repaint();
  host.CreateHiddenWindows();
  QApplication::exec();
  return 0;
}
