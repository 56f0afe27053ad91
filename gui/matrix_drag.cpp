// SPDX-License-Identifier: MIT
#include "gui/matrix_drag.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFrame>
#include <QMouseEvent>

#include "gui/dialogs/control_widgets.h"

namespace veltrane::gui {
namespace {

constexpr int kFrameMargin = 2;

QFrame* NewFrame(QWidget* surface, const char* style) {
  auto* frame = new QFrame(surface);
  frame->setAttribute(Qt::WA_TransparentForMouseEvents);
  frame->setStyleSheet(QString::fromLatin1(style));
  frame->hide();
  return frame;
}

Qt::CursorShape CursorOf(model::KeyMove how) {
  switch (how) {
    case model::KeyMove::Copy:
      return Qt::DragCopyCursor;
    case model::KeyMove::Swap:
      return Qt::DragLinkCursor;
    case model::KeyMove::Move:
      break;
  }
  return Qt::DragMoveCursor;
}

}  // namespace

model::KeyMove MoveOfModifiers(Qt::KeyboardModifiers modifiers) {
  if (modifiers & Qt::ControlModifier) return model::KeyMove::Copy;
  if (modifiers & Qt::ShiftModifier) return model::KeyMove::Swap;
  return model::KeyMove::Move;
}

MatrixGestures::MatrixGestures(QWidget* surface, const Buttons& keys, Dropped dropped,
                               MenuAsked menu)
    : QObject(surface),
      surface_(surface),
      keys_(keys),
      dropped_(std::move(dropped)),
      menu_(std::move(menu)),
      selection_(NewFrame(surface, "QFrame { border: 2px solid palette(highlight); }")),
      mark_(NewFrame(surface, "QFrame { border: 2px dashed palette(highlight); }")),
      target_(NewFrame(surface, "QFrame { border: 2px solid palette(link); }")) {
  for (PictureButton* key : keys_) key->installEventFilter(this);
}

int MatrixGestures::IndexOf(QObject* watched) const {
  for (std::size_t i = 0; i < keys_.size(); ++i)
    if (keys_[i] == watched) return static_cast<int>(i);
  return -1;
}

int MatrixGestures::KeyAt(const QPoint& surfacePosition) const {
  for (std::size_t i = 0; i < keys_.size(); ++i)
    if (keys_[i]->geometry().contains(surfacePosition)) return static_cast<int>(i);
  return -1;
}

void MatrixGestures::Frame(QFrame* frame, int key) {
  if (key < 0 || key >= static_cast<int>(keys_.size())) {
    frame->hide();
    return;
  }
  const QRect place = keys_[static_cast<std::size_t>(key)]->geometry().adjusted(
      -kFrameMargin, -kFrameMargin, kFrameMargin, kFrameMargin);
  if (frame->geometry() != place) frame->setGeometry(place);
  frame->show();
  frame->raise();
}

void MatrixGestures::ShowSelection(int selected, int marked) {
  Frame(selection_, selected);
  Frame(mark_, marked);
}

bool MatrixGestures::eventFilter(QObject* watched, QEvent* event) {
  const int index = IndexOf(watched);
  if (index < 0) return false;
  auto* button = keys_[static_cast<std::size_t>(index)];
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::LeftButton) {
        pressed_ = index;
        pressedAt_ = mouse->globalPosition().toPoint();
        dragging_ = false;
      }
      return false;
    }
    case QEvent::MouseMove: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      return OnMove(button, mouse->globalPosition().toPoint(), mouse->modifiers());
    }
    case QEvent::MouseButtonRelease: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::LeftButton) return false;
      return OnRelease(button, mouse->globalPosition().toPoint(), mouse->modifiers());
    }
    case QEvent::ContextMenu:
      if (dragging_) return true;
      menu_(index, static_cast<QContextMenuEvent*>(event)->globalPos());
      return true;
    default:
      return false;
  }
}

// Past the start distance a press becomes a drag: the button no longer takes
// the press as a click, and the cursor and a frame show what a drop would do.
bool MatrixGestures::OnMove(PictureButton* button, const QPoint& global,
                            Qt::KeyboardModifiers modifiers) {
  if (pressed_ < 0) return false;
  if (!dragging_) {
    if ((global - pressedAt_).manhattanLength() < QApplication::startDragDistance()) return false;
    dragging_ = true;
    button->setDown(false);
    QApplication::setOverrideCursor(CursorOf(MoveOfModifiers(modifiers)));
  }
  QApplication::changeOverrideCursor(CursorOf(MoveOfModifiers(modifiers)));
  const int over = KeyAt(surface_->mapFromGlobal(global));
  Frame(target_, over == pressed_ ? -1 : over);
  return true;
}

bool MatrixGestures::OnRelease(PictureButton* button, const QPoint& global,
                               Qt::KeyboardModifiers modifiers) {
  const int from = pressed_;
  const bool dropped = dragging_;
  EndDrag();
  if (!dropped) return false;
  button->setDown(false);  // the release that ends a drag is no click
  const int to = KeyAt(surface_->mapFromGlobal(global));
  // After the button has taken its release: the drop may ask or tell in a box.
  if (to >= 0 && to != from)
    QMetaObject::invokeMethod(
        this, [this, from, to, how = MoveOfModifiers(modifiers)] { dropped_(from, to, how); },
        Qt::QueuedConnection);
  return false;
}

void MatrixGestures::EndDrag() {
  if (dragging_) QApplication::restoreOverrideCursor();
  dragging_ = false;
  pressed_ = -1;
  target_->hide();
}

}  // namespace veltrane::gui
