// SPDX-License-Identifier: MIT
// The one factory and the one sync of the program's controls: a widget for
// each ui::Control at its place, named after its id, and the view model's
// list, check box and field states shown in them. Every window builds its
// controls here: the main window, the small dialogs and the key editing windows.
#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QPalette>
#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/controls/controls.h"
#include "ui/controls/key_picture.h"

namespace veltrane::gui {

// The one conversion of the program's texts. Texts are UTF-8, also the
// definition's 31-byte fields; bytes that are no UTF-8 (a file written
// elsewhere) are shown one character per byte rather than as U+FFFD, and are
// kept as they are until the text is edited.
QString ToQString(std::string_view text);
std::string ToBytes(const QString& text);

// "control<id>": the object name of a control's widget.
QString ControlObjectName(int id);

// The widget of `control` as a child of `parent`, at its place.
QWidget* CreateControl(QWidget* parent, const ui::Control& control);

// What a view model holds, shown in a control's widget; no signal is emitted.
// A field the user is typing in keeps the text being typed until it is
// finished (Enter or leaving it); a list with a field shows its chosen entry's
// text only.
void Show(QWidget* widget, const ui::CheckBox& state);
void Show(QWidget* widget, const ui::EditField& state);
void Show(QWidget* widget, const ui::ComboBox& state);

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

// A drop-down list that shows the model's choice and never changes by itself.
// It takes the keyboard focus: printable characters typed into it go to
// onChar, Enter and Escape on to the window, F4 and Alt+Down open it. Its
// popup offers the entries SetChoosable allows and hands the one picked to
// onChoose; a list with none never opens and is drawn in the disabled colours.
class ChoiceList : public QComboBox {
  Q_OBJECT

 public:
  explicit ChoiceList(QWidget* parent);
  void showPopup() override;
  // Which entries can be picked; call after the entries are filled.
  void SetChoosable(const std::vector<bool>& entries);

  std::function<void(char)> onChar;
  std::function<void(int)> onChoose;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  std::vector<bool> choosable_;
  QPalette normal_;
};

// The font the key editing windows' tables were laid out for: 11 pixels
// high, the size of the templates' 8-point font. Group box titles sit on the
// frame's top line.
void UseTableFont(QWidget& window);

}  // namespace veltrane::gui
