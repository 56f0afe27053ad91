// SPDX-License-Identifier: MIT
#include "gui/message_boxes.h"

#include <QApplication>
#include <QTimer>

#include "gui/window_host.h"
#include "gui_fixture.h"

namespace veltrane::testing {
namespace {

struct SeenBox {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QWidget* parent = nullptr;
};

// Closes the next modal message box once it is up and tells what it showed.
SeenBox CloseNextBox(const std::function<void()>& show) {
  SeenBox seen;
  QTimer timer;
  timer.setInterval(5);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    seen = {box->windowTitle(), box->text(), box->icon(), box->parentWidget()};
    box->accept();
  });
  timer.start();
  show();
  return seen;
}

TEST_F(StartedWindow, BoxesShowTextCaptionAndIconOverTheMainWindow) {
  gui::MessageBoxes boxes;
  boxes.SetParentWindow(window.get());

  SeenBox seen =
      CloseNextBox([&] { boxes.Show("Cannot open file", "", model::MessageIcon::Error); });
  EXPECT_EQ(seen.title, "Veltrane");
  EXPECT_EQ(seen.text, "Cannot open file");
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.parent, window.get());

  seen = CloseNextBox(
      [&] { boxes.Show("Saved configuration file !", "Save", model::MessageIcon::None); });
  EXPECT_EQ(seen.title, "Save");
  EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
  EXPECT_EQ(gui::BoxIcon(model::MessageIcon::Information), QMessageBox::Information);
  EXPECT_EQ(gui::BoxIcon(model::MessageIcon::Warning), QMessageBox::Warning);
}

}  // namespace
}  // namespace veltrane::testing
