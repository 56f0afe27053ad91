// Widgets for the key editing windows' control tables: one widget per
// WindowControl at its pixel geometry, named after its id.
#pragma once

#include <QComboBox>
#include <QString>
#include <functional>
#include <string>
#include <string_view>

#include "ui/controls.h"
#include "ui/key_editing_layout.h"

namespace veltrane::gui {

// "control<id>": the object name of a control's widget.
QString ControlObjectName(int id);

// A drop-down list that shows its value and never opens or changes by
// itself, yet takes the keyboard focus: printable characters typed into it go
// to onChar, Enter and Escape on to the window.
class ReadOnlyList : public QComboBox {
  Q_OBJECT

 public:
  explicit ReadOnlyList(QWidget* parent);
  void showPopup() override {}

  std::function<void(char)> onChar;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
};

// The widget of `entry` as a child of `parent`. A drop-down list the model
// keeps disabled becomes a ReadOnlyList, enabled so that it can take the
// focus; it is drawn in the disabled colours.
QWidget* CreateControl(QWidget* parent, const ui::WindowControl& entry);

// The font the control tables were laid out for: 11 pixels high, the size of
// the templates' 8-point font. Group box titles sit on the frame's top line.
void UseTableFont(QWidget& window);

// Texts of the definition are bytes: one character per byte.
inline QString ToQString(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string ToBytes(const QString& text) {
  return text.toLatin1().toStdString();
}

// Entries, selection and (except for a ReadOnlyList) enabled state of a list.
void ShowComboBox(QComboBox& widget, const ui::ComboBox& list);

}  // namespace veltrane::gui
