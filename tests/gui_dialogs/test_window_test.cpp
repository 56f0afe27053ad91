// SPDX-License-Identifier: MIT
#include "gui/dialogs/test_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>

#include "tests/gui_dialogs/grab.h"

namespace veltrane::gui {
namespace {

using Line = ui::TestLine;

// A key event as X11 and Wayland deliver it: native scan code = evdev + 8.
void Send(QEvent::Type type, int evdev, const QString& text,
          Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool autoRepeat = false, int key = 0) {
  QKeyEvent event(type, key, modifiers, static_cast<quint32>(evdev + 8), 0, 0, text, autoRepeat);
  QWidget* focus = QApplication::focusWidget();
  ASSERT_NE(focus, nullptr);
  QApplication::sendEvent(focus, &event);
}

void Tap(int evdev, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  Send(QEvent::KeyPress, evdev, text, modifiers);
  Send(QEvent::KeyRelease, evdev, text, modifiers);
}

class TestWindowWidget : public testing::Test {
 protected:
  void SetUp() override {
    EXPECT_FALSE(window_.isVisible());
    EXPECT_EQ(window_.windowTitle(), "Test Window");
    EXPECT_EQ(window_.geometry(), QRect(600, 50, 900, 300));
    EXPECT_EQ(window_.StopTestButton()->geometry(), QRect(10, 10, 100, 15));
    window_.ShowTestWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    ASSERT_EQ(QApplication::focusWidget(), &window_);
  }
  const std::vector<Line>& Lines() const { return window_.Model().lines; }

  TestWindow window_;
};

TEST_F(TestWindowWidget, LetterAAndAltA) {
  Tap(30, "a");
  Tap(30, "a", Qt::AltModifier);
  ASSERT_EQ(Lines().size(), 4u);
  EXPECT_EQ(Lines()[0], (Line{"KEYDOWN", "A", "1", "30", "Not Ext", "No Alt", "Up", "Press"}));
  EXPECT_EQ(Lines()[1], (Line{"KEYUP", "A", "1", "30", "Not Ext", "No Alt", "Down", "Release"}));
  EXPECT_EQ(Lines()[2], (Line{"SYSKEYDOWN", "A", "1", "30", "Not Ext", "Alt", "Up", "Press"}));
  EXPECT_EQ(Lines()[3][0], "SYSKEYUP");
  Send(QEvent::KeyPress, 105, "");  // left arrow, held
  Send(QEvent::KeyPress, 105, "", Qt::NoModifier, true);
  Send(QEvent::KeyRelease, 105, "");
  EXPECT_EQ(Lines()[5][6], "Down");
  Grab(window_, "test-window.png");
}

TEST_F(TestWindowWidget, TabF10HeldAndKeypadKeysReachTheWindow) {
  QTest::keyClick(&window_, Qt::Key_Tab);  // no native code: an unknown key, but a line
  Send(QEvent::KeyPress, 15, "\t");
  Send(QEvent::KeyPress, 15, "", Qt::ShiftModifier);  // Backtab
  Tap(68, "");                                        // F10
  Send(QEvent::KeyPress, 105, "", Qt::NoModifier, true);
  Send(QEvent::KeyRelease, 105, "", Qt::NoModifier, true);  // between repeats
  Send(QEvent::KeyPress, 79, "");                           // keypad 1, Num Lock off
  Send(QEvent::KeyPress, 79, "1", Qt::KeypadModifier);
  ASSERT_EQ(Lines().size(), 9u);
  EXPECT_EQ(Lines()[1][1], "Undefined");
  EXPECT_EQ(Lines()[2][1], "TAB");
  EXPECT_EQ(Lines()[3][1], "TAB");
  EXPECT_EQ(Lines()[4][0], "SYSKEYDOWN");
  EXPECT_EQ(Lines()[5][0], "SYSKEYUP");
  EXPECT_EQ(Lines()[6], (Line{"KEYDOWN", "LEFT", "1", "75", "Ext", "No Alt", "Down", "Press"}));
  EXPECT_EQ(Lines()[7][1], "END");
  EXPECT_EQ(Lines()[8][1], "NUMPAD1");
  EXPECT_EQ(QApplication::focusWidget(), &window_);
}

TEST_F(TestWindowWidget, AltGrCtrlAltBreakAndHeldKeysAsWindowsReportsThem) {
  // ISO_Level3_Shift where a layout without AltGr puts it (no key of the table).
  Send(QEvent::KeyPress, 84, "", Qt::NoModifier, false, Qt::Key_AltGr);
  Send(QEvent::KeyRelease, 84, "", Qt::NoModifier, false, Qt::Key_AltGr);
  Send(QEvent::KeyPress, 30, "", Qt::ControlModifier | Qt::AltModifier);
  Send(QEvent::KeyPress, 119, "", Qt::ControlModifier);  // Ctrl+Pause
  // A held key whose repeats come without releases and without the repeat flag.
  for (int i = 0; i < 3; ++i) Send(QEvent::KeyPress, 48, "b");
  ASSERT_EQ(Lines().size(), 9u);
  EXPECT_EQ((std::array{Lines()[0][1], Lines()[1][1]}),
            (std::array<std::string, 2>{"CONTROL", "MENU (ALT)"}));
  EXPECT_EQ(Lines()[4][0], "KEYDOWN");  // Ctrl+Alt+A
  EXPECT_EQ(Lines()[5][1], "VK_CANCEL");
  EXPECT_EQ((std::array{Lines()[6][6], Lines()[8][6]}), (std::array<std::string, 2>{"Up", "Down"}));
  // Keys released while the focus was away: the next press is a new one.
  Send(QEvent::KeyPress, 48, "b");
  window_.StopTestButton()->setFocus();
  window_.setFocus();
  Send(QEvent::KeyPress, 48, "b");
  EXPECT_EQ(Lines().back()[6], "Up");
}

}  // namespace
}  // namespace veltrane::gui
