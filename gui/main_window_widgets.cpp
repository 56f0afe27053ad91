// SPDX-License-Identifier: MIT
#include "gui/main_window_widgets.h"

#include <QPainter>

namespace veltrane::gui {

void ControlSurface::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(QPen(Qt::black, 3));
  painter.drawLine(0, 0, 35, 35);
  painter.drawLine(0, 35, 200, 35);
  painter.drawLine(35, 0, 35, 360);
}

}  // namespace veltrane::gui
