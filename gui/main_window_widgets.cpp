#include "gui/main_window_widgets.h"

#include <QPainter>

#include "gui/key_pictures.h"

namespace veltrane::gui {

PictureButton::PictureButton(QWidget* parent) : QAbstractButton(parent) {
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PictureButton::SetPicture(ui::KeyPicture picture) {
  if (picture == picture_) return;
  picture_ = picture;
  update();
}

void PictureButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(rect(), KeyPicturePixmap(picture_, size(), devicePixelRatioF()));
}

void ControlSurface::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(QPen(Qt::black, 3));
  painter.drawLine(0, 0, 35, 35);
  painter.drawLine(0, 35, 200, 35);
  painter.drawLine(35, 0, 35, 360);
}

}  // namespace veltrane::gui
