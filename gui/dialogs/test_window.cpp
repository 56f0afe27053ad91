// SPDX-License-Identifier: MIT
#include "gui/dialogs/test_window.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QWindow>

#include "gui/dialogs/auto_repeat.h"
#include "gui/dialogs/layout_dialog.h"
#include "ui/dialogs/key_mapping.h"

namespace veltrane::gui {
namespace {

constexpr int kLogFontPixels = 12;  // fits a line into the 15-pixel step

char32_t FirstCharacter(const QString& text) {
  const QList<uint> codes = text.toUcs4();
  return codes.isEmpty() ? 0 : static_cast<char32_t>(codes.front());
}

bool IsKeypadDigitOrPoint(int evdevCode) {
  return evdevCode >= 71 && evdevCode <= 83;
}

}  // namespace

TestWindow::TestWindow() : QWidget(nullptr, Qt::Window) {
  setWindowTitle(ToQString(ui::kTestWindowTitle));
  setObjectName(ToQString(ui::kTestWindowClass));
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_QuitOnClose, false);  // left open, it does not keep the program running
  const ui::Rect& frame = ui::kTestWindowFrame;
  move(frame.x, frame.y);
  resize(frame.width, frame.height);
  QFont logFont = font();
  logFont.setPixelSize(kLogFontPixels);
  setFont(logFont);

  stopTest_ = new QPushButton(ToQString(ui::kStopTestText), this);
  const ui::Rect& button = ui::kStopTestRect;
  stopTest_->setGeometry(button.x, button.y, button.width, button.height);
  stopTest_->setFocusPolicy(Qt::NoFocus);  // keys stay with the window
  connect(stopTest_, &QPushButton::clicked, this, [this] { StopTest(); });
  ui::SetTestWindowArea(model_, height(), logicalDpiX());
  UseDetectableAutoRepeat();  // a held key sends repeated presses and no releases between
}

void TestWindow::ShowTestWindow() {
  ui::ShowTestWindow(model_);
  show();
  raise();
  activateWindow();
  setFocus(Qt::OtherFocusReason);
  if (!watchingExposes_ && windowHandle() != nullptr) {
    windowHandle()->installEventFilter(this);
    watchingExposes_ = true;
  }
  update();
}

void TestWindow::StopTest() {
  ui::OnStopTest(model_);
  hide();
}

ui::TestKeyEvent TestWindow::KeyEventOf(const QKeyEvent& event, bool release) {
  const int evdev = ui::EvdevFromNativeScanCode(event.nativeScanCode());
  const char32_t character = FirstCharacter(event.text());
  const bool numLock = !IsKeypadDigitOrPoint(evdev) || character != 0;
  ui::TestKeyEvent key =
      ui::TestKeyEventOf(evdev, character, numLock, event.modifiers().testFlag(Qt::ControlModifier),
                         event.modifiers().testFlag(Qt::AltModifier));
  key.release = release;
  key.autoRepeat = event.isAutoRepeat();
  return key;
}

void TestWindow::Log(const QKeyEvent& event, bool release) {
  if (logicalDpiX() != model_.dpi) ui::SetTestWindowArea(model_, height(), logicalDpiX());
  // AltGr is the key the layout gives ISO_Level3_Shift, whatever its place.
  if (event.key() == Qt::Key_AltGr) {
    for (const ui::TestKeyEvent& key : ui::AltGrEvents(release)) ui::OnTestKey(model_, key);
  } else {
    ui::OnTestKey(model_, KeyEventOf(event, release));
  }
  update();
}

bool TestWindow::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::ShortcutOverride:
      event->accept();  // every key is the window's own, none a shortcut
      return true;
    case QEvent::KeyPress:
      // Tab and Backtab would move the focus before keyPressEvent sees them.
      keyPressEvent(static_cast<QKeyEvent*>(event));
      return true;
    default:
      return QWidget::event(event);
  }
}

bool TestWindow::eventFilter(QObject* watched, QEvent* event) {
  // The platform asking for a repaint from outside wipes what was on screen.
  if (watched == windowHandle() && event->type() == QEvent::Expose) {
    ui::OnTestWindowExposed(model_);
    update();
  }
  return QWidget::eventFilter(watched, event);
}

bool TestWindow::focusNextPrevChild(bool) {
  return false;
}

void TestWindow::keyPressEvent(QKeyEvent* event) {
  Log(*event, false);
  event->accept();
}

void TestWindow::keyReleaseEvent(QKeyEvent* event) {
  // A held key sends only repeated presses; the releases between them are synthetic.
  if (!event->isAutoRepeat()) Log(*event, true);
  event->accept();
}

void TestWindow::focusOutEvent(QFocusEvent* event) {
  ui::OnTestWindowFocusLost(model_);
  QWidget::focusOutEvent(event);
}

void TestWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setClipRect(0, ui::kTestStripHeight, width(), height() - ui::kTestStripHeight);
  const QFontMetrics metrics(font());
  const int blank = metrics.horizontalAdvance(QLatin1Char(' '));
  for (std::size_t i = 0; i < model_.lines.size(); ++i) {
    const int baseline = ui::TestLineTop(model_, static_cast<int>(i)) + metrics.ascent();
    for (int column = 0; column < ui::kTestColumnCount; ++column) {
      const QString text = ToQString(model_.lines[i][column]);
      const int x = ui::TestColumnX(column, model_.dpi, blank, metrics.horizontalAdvance(text));
      painter.drawText(x, baseline, text);
    }
  }
}

void TestWindow::resizeEvent(QResizeEvent* event) {
  ui::SetTestWindowArea(model_, height(), logicalDpiX());
  QWidget::resizeEvent(event);
}

void TestWindow::closeEvent(QCloseEvent* event) {
  // Closing only hides: the window lives as long as the program.
  StopTest();
  event->ignore();
}

}  // namespace veltrane::gui
