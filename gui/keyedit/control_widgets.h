// Widgets for the key editing windows' control tables: one widget per
// WindowControl at its pixel geometry, named after its id.
#pragma once

#include <QComboBox>
#include <QPalette>
#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "gui/dialogs/layout_dialog.h"  // ToQString, ToBytes
#include "ui/dialogs/controls.h"
#include "ui/keyedit/key_editing_layout.h"

namespace veltrane::gui {

// "control<id>": the object name of a control's widget.
QString ControlObjectName(int id);

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

// The widget of `entry` as a child of `parent`.
QWidget* CreateControl(QWidget* parent, const ui::WindowControl& entry);

// The font the control tables were laid out for: 11 pixels high, the size of
// the templates' 8-point font. Group box titles sit on the frame's top line.
void UseTableFont(QWidget& window);

// Entries, selection and (except for a ChoiceList) enabled state of a list.
void ShowComboBox(QComboBox& widget, const ui::ComboBox& list);

}  // namespace veltrane::gui
