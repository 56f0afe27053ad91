// The widgets of the main window that plain Qt widgets do not cover.
#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QWidget>

#include "ui/main_window/key_picture.h"

namespace veltrane::gui {

// A matrix or LED button: only its picture, stretched to the whole button;
// no frame, no focus mark, no pressed look.
class PictureButton : public QAbstractButton {
  Q_OBJECT
 public:
  explicit PictureButton(QWidget* parent);
  void SetPicture(ui::KeyPicture picture);
  ui::KeyPicture picture() const { return picture_; }
  QSize sizeHint() const override { return size(); }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  ui::KeyPicture picture_ = ui::KeyPicture::Incomplete;
};

// A check box whose state only the program sets: a click reports itself and
// leaves the box as it is until the view model says otherwise.
class ModelCheckBox : public QCheckBox {
  Q_OBJECT
 public:
  using QCheckBox::QCheckBox;

 protected:
  void nextCheckState() override {}
};

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
