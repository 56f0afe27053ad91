// SPDX-License-Identifier: MIT
// The test window: one line per key press and release it receives while it
// has the focus, newest at the bottom; nothing is kept beyond what is shown.
#pragma once

#include <QWidget>

#include "ui/dialogs/test_window_model.h"

class QKeyEvent;
class QPushButton;

namespace veltrane::gui {

class TestWindow : public QWidget {
 public:
  // A top-level window, created hidden; closing it only hides it.
  TestWindow();

  // "Test keyboard": shown with an empty area, raised and focused.
  void ShowTestWindow();

  const ui::TestWindowModel& Model() const { return model_; }
  QPushButton* StopTestButton() const { return stopTest_; }

  // The model's event for a Qt key event: the physical key from the native
  // scan code (evdev + 8), the character from text(), Ctrl and Alt from
  // modifiers(). Num Lock counts as on when a keypad key produced a character.
  static ui::TestKeyEvent KeyEventOf(const QKeyEvent& event, bool release);

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Log(const QKeyEvent& event, bool release);
  void StopTest();

  ui::TestWindowModel model_;
  QPushButton* stopTest_ = nullptr;
  bool watchingExposes_ = false;
};

}  // namespace veltrane::gui
