#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "gui/dialogs/dialogs.h"
#include "gui/dialogs/test_window.h"

namespace veltrane::gui {
namespace {

// Pictures of each window, saved to $VELTRANE_SCREENSHOT_DIR when it is set
// (the README's pictures come from there), else to a temporary directory.
class Screenshots : public testing::Test {
 protected:
  void Save(QWidget& widget, const char* name) {
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    const QImage image = widget.grab().toImage();
    EXPECT_EQ(image.size(), widget.size() * image.devicePixelRatio()) << name;
    const QString dir = qEnvironmentVariableIsSet("VELTRANE_SCREENSHOT_DIR")
                            ? qEnvironmentVariable("VELTRANE_SCREENSHOT_DIR")
                            : temp_.path();
    EXPECT_TRUE(image.save(QDir(dir).filePath(name))) << name;
  }

  QTemporaryDir temp_;
};

TEST_F(Screenshots, EachDialogAndTheTestWindow) {
  model::GlobalSettings settings;
  settings.Led2 = 3;
  Save(*MakeLedDialog(nullptr, settings, 1), "key-led-dialog.png");
  ui::PointDeviceParams params = model::kPointDeviceStartValues;
  Save(*MakePointingDeviceDialog(nullptr, params), "pointing-device-dialog.png");
  Save(*MakeAboutDialog(nullptr), "about-dialog.png");

  const QString previous = QDir::currentPath();
  QTemporaryDir tree;
  QDir root(tree.path());
  for (const char* dir : {"layouts", "backup"}) root.mkdir(dir);
  for (const char* file : {"EEPkey.DAT", "office.dat", "Saved.txt", "vtlog.txt", "notes"}) {
    QFile(root.filePath(file)).open(QIODevice::WriteOnly);
  }
  QDir::setCurrent(tree.path());
  Save(*MakeFileChooserDialog(nullptr, ui::ChooserKind::Load), "load-file-dialog.png");
  const auto save = MakeFileChooserDialog(nullptr, ui::ChooserKind::Save);
  save->Edit(ui::kSaveNameId)->setText("office.DAT");
  Save(*save, "save-file-dialog.png");
  QDir::setCurrent(previous);

  TestWindow window;
  window.ShowTestWindow();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  struct Key {
    QEvent::Type type;
    int evdev;
    const char* text;
    Qt::KeyboardModifiers modifiers;
  };
  const Key keys[] = {{QEvent::KeyPress, 30, "a", Qt::NoModifier},
                      {QEvent::KeyRelease, 30, "a", Qt::NoModifier},
                      {QEvent::KeyPress, 56, "", Qt::AltModifier},
                      {QEvent::KeyPress, 30, "a", Qt::AltModifier},
                      {QEvent::KeyRelease, 30, "a", Qt::AltModifier},
                      {QEvent::KeyRelease, 56, "", Qt::NoModifier},
                      {QEvent::KeyPress, 105, "", Qt::NoModifier},
                      {QEvent::KeyRelease, 105, "", Qt::NoModifier}};
  for (const Key& key : keys) {
    QKeyEvent event(key.type, 0, key.modifiers, key.evdev + 8, 0, 0, key.text);
    QApplication::sendEvent(&window, &event);
  }
  Save(window, "test-window.png");
}

}  // namespace
}  // namespace veltrane::gui
