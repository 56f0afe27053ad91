// veltrane: the desktop program.
#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <cstdlib>
#include <ctime>
#include <string>

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
  QApplication qapp(argc, argv);
  QApplication::setApplicationName(gui::kApplicationName);
  QApplication::setWindowIcon(QIcon::fromTheme(
      "veltrane", QIcon(gui::KeyPicturePixmap(ui::KeyPicture::Complete, QSize(64, 64), 1))));

  // The one argument is a configuration file, loaded before the window shows.
  gui::Program program(argc > 1 ? argv[1] : "");
  FirstPaintExit firstPaint;
  if (std::getenv("VELTRANE_EXIT_AFTER_FIRST_PAINT") != nullptr)
    program.window.surface()->installEventFilter(&firstPaint);
  program.Start(std::time(nullptr));
  if (!firstPaint.ended) QApplication::exec();
  return 0;
}
