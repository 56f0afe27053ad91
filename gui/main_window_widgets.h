// SPDX-License-Identifier: MIT
// The main window's own surface, under the controls the one factory makes.
#pragma once

#include <QWidget>

namespace veltrane::gui {

// The main window's client area: the corner lines of the matrix under the
// controls, which sit at fixed places.
class ControlSurface : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override;
};

}  // namespace veltrane::gui
