#include "gui/dialogs/test_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>

namespace veltrane::gui {
namespace {

// A key event as X11 and Wayland deliver it: native scan code = evdev + 8.
void Send(QWidget& window, QEvent::Type type, Qt::Key key, int evdev, const QString& text,
          Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool autoRepeat = false) {
  QKeyEvent event(type, key, modifiers, static_cast<quint32>(evdev + 8), 0, 0, text, autoRepeat);
  QApplication::sendEvent(&window, &event);
}

void Tap(QWidget& window, Qt::Key key, int evdev, const QString& text,
         Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  Send(window, QEvent::KeyPress, key, evdev, text, modifiers);
  Send(window, QEvent::KeyRelease, key, evdev, text, modifiers);
}

class TestWindowWidget : public testing::Test {
 protected:
  void SetUp() override {
    window_.ShowTestWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
  }
  const std::vector<ui::TestLine>& Lines() const { return window_.Model().lines; }

  TestWindow window_;
};

TEST(TestWindowFrame, CreatedHiddenWithItsButton) {
  TestWindow window;
  EXPECT_FALSE(window.isVisible());
  EXPECT_TRUE(window.isWindow());
  EXPECT_EQ(window.windowTitle(), "Test Window");
  EXPECT_EQ(window.pos(), QPoint(600, 50));
  EXPECT_EQ(window.size(), QSize(900, 300));
  EXPECT_EQ(window.StopTestButton()->text(), "StopTest");
  EXPECT_EQ(window.StopTestButton()->geometry(), QRect(10, 10, 100, 15));
}

TEST_F(TestWindowWidget, LetterAPressAndReleaseThenAltA) {
  EXPECT_TRUE(QTest::qWaitForWindowActive(&window_));
  EXPECT_TRUE(window_.hasFocus());
  Tap(window_, Qt::Key_A, 30, "a");
  ASSERT_EQ(Lines().size(), 2u);
  EXPECT_EQ(Lines()[0],
            (ui::TestLine{"KEYDOWN", "A", "1", "30", "Not Ext", "No Alt", "Up", "Press"}));
  EXPECT_EQ(Lines()[1],
            (ui::TestLine{"KEYUP", "A", "1", "30", "Not Ext", "No Alt", "Down", "Release"}));
  Send(window_, QEvent::KeyPress, Qt::Key_A, 30, "a", Qt::AltModifier);
  EXPECT_EQ(Lines().back(),
            (ui::TestLine{"SYSKEYDOWN", "A", "1", "30", "Not Ext", "Alt", "Up", "Press"}));
}

TEST_F(TestWindowWidget, TabF10ArrowsAndHeldKeysReachTheWindow) {
  Tap(window_, Qt::Key_Tab, 15, "\t");
  Send(window_, QEvent::KeyPress, Qt::Key_Backtab, 15, "", Qt::ShiftModifier);
  Tap(window_, Qt::Key_F10, 68, "");
  Send(window_, QEvent::KeyPress, Qt::Key_Left, 105, "");
  Send(window_, QEvent::KeyPress, Qt::Key_Left, 105, "", Qt::NoModifier, true);
  Send(window_, QEvent::KeyRelease, Qt::Key_Left, 105, "", Qt::NoModifier, true);
  Send(window_, QEvent::KeyPress, Qt::Key_End, 79, "");  // keypad 1, Num Lock off
  Send(window_, QEvent::KeyPress, Qt::Key_1, 79, "1", Qt::KeypadModifier);
  ASSERT_EQ(Lines().size(), 9u);
  EXPECT_EQ(Lines()[0][1], "TAB");
  EXPECT_EQ(Lines()[2][1], "TAB");
  EXPECT_EQ(Lines()[3][0], "SYSKEYDOWN");
  EXPECT_EQ(Lines()[4][0], "SYSKEYUP");
  EXPECT_EQ(Lines()[5],
            (ui::TestLine{"KEYDOWN", "LEFT", "1", "75", "Ext", "No Alt", "Up", "Press"}));
  EXPECT_EQ(Lines()[6][6], "Down");
  EXPECT_EQ(Lines()[7][1], "END");
  EXPECT_EQ(Lines()[8][1], "NUMPAD1");
  EXPECT_TRUE(window_.hasFocus() || !window_.isActiveWindow());
}

TEST_F(TestWindowWidget, OnlyWhatIsOnScreenIsKept) {
  for (int i = 0; i < 40; ++i) Tap(window_, Qt::Key_A, 30, "a");
  EXPECT_EQ(static_cast<int>(Lines().size()), ui::VisibleLineCount(window_.Model()));
  const QImage shot = window_.grab().toImage();
  EXPECT_EQ(shot.size(), QSize(900, 300) * shot.devicePixelRatio());
  EXPECT_NE(shot.pixel(2, 230), shot.pixel(2, 20));  // "KEY..." drawn below the strip

  QTest::mouseClick(window_.StopTestButton(), Qt::LeftButton);
  EXPECT_FALSE(window_.isVisible());
  window_.ShowTestWindow();
  EXPECT_TRUE(Lines().empty());
  Tap(window_, Qt::Key_A, 30, "a");
  window_.resize(800, 250);
  EXPECT_TRUE(Lines().empty());
}

}  // namespace
}  // namespace veltrane::gui
