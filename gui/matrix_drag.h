// SPDX-License-Identifier: MIT
// Gestures on the key matrix: a button dragged onto another position moves
// that key there (with Ctrl held at the drop it is copied, with Shift the two
// are swapped), a right click opens the key's menu, and frames show the
// selected position and the key cut or copied.
#pragma once

#include <QObject>
#include <QPoint>
#include <array>
#include <functional>

#include "model/key_moves.h"

class QFrame;
class QWidget;

namespace veltrane::gui {

class PictureButton;

// Ctrl copies, Shift swaps, no modifier moves.
model::KeyMove MoveOfModifiers(Qt::KeyboardModifiers modifiers);

class MatrixGestures : public QObject {
 public:
  using Buttons = std::array<PictureButton*, 128>;
  using Dropped = std::function<void(int from, int to, model::KeyMove how)>;
  using MenuAsked = std::function<void(int key, const QPoint& globalPosition)>;

  // Watches the 128 buttons (index row * 8 + column), children of `surface`.
  MatrixGestures(QWidget* surface, const Buttons& keys, Dropped dropped, MenuAsked menu);

  // The frames: the selected position solid, the key cut or copied dashed; -1 for none.
  void ShowSelection(int selected, int marked);
  // The position under a point of the surface, or -1 outside the matrix.
  int KeyAt(const QPoint& surfacePosition) const;
  bool dragging() const { return dragging_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int IndexOf(QObject* watched) const;
  bool OnMove(PictureButton* button, const QPoint& global, Qt::KeyboardModifiers modifiers);
  bool OnRelease(PictureButton* button, const QPoint& global, Qt::KeyboardModifiers modifiers);
  void EndDrag();
  void Frame(QFrame* frame, int key);

  QWidget* surface_;
  Buttons keys_;
  Dropped dropped_;
  MenuAsked menu_;
  int pressed_ = -1;
  QPoint pressedAt_;
  bool dragging_ = false;
  QFrame* selection_;
  QFrame* mark_;
  QFrame* target_;  // where a drop would land
};

}  // namespace veltrane::gui
