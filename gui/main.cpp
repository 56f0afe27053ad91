// SPDX-License-Identifier: MIT
// veltrane: the desktop program.
#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "gui/command_line.h"
#include "gui/dialogs/key_pictures.h"
#include "gui/program.h"

namespace {

// VELTRANE_EXIT_AFTER_FIRST_PAINT=1 ends the run once the window has been
// painted, for timing the start-up.
class FirstPaintExit : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint)
      QTimer::singleShot(0, qApp, [this] {
        ended = true;  // also when a box of the start-up ran the loop that ends here
        QCoreApplication::exit(0);
      });
    return false;
  }
  bool ended = false;
};

}  // namespace

int main(int argc, char** argv) {
  using namespace veltrane;
  // Before the toolkit: these need no display.
  if (const auto status = gui::AnswerInfoOptions(argc, argv, stdout)) return *status;
  QApplication qapp(argc, argv);
  const gui::StartArguments start = gui::ParseStartArguments(argc, argv);
  if (!start.unknownOption.empty()) return gui::UnknownOptionError(start.unknownOption, stderr);
  QApplication::setApplicationName(gui::kApplicationName);
  // Wayland compositors find the window's menu entry and icon by this name.
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.veltrane.veltrane"));
  QApplication::setWindowIcon(QIcon::fromTheme(
      "veltrane", QIcon(gui::KeyPicturePixmap(ui::KeyPicture::Complete, QSize(64, 64), 1))));

  // The one argument is a configuration file, loaded before the window shows.
  gui::Program program(start.configFile);
  FirstPaintExit firstPaint;
  if (std::getenv("VELTRANE_EXIT_AFTER_FIRST_PAINT") != nullptr)
    program.window.surface()->installEventFilter(&firstPaint);
  program.Start(std::time(nullptr));
  if (!firstPaint.ended) QApplication::exec();
  return 0;
}
