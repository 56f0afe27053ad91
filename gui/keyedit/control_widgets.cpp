#include "gui/keyedit/control_widgets.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

namespace veltrane::gui {
namespace {

using ui::WindowControlKind;

// Text colours of the disabled state in the active and inactive states too.
void UseDisabledColours(QWidget& widget) {
  QPalette palette = widget.palette();
  for (const QPalette::ColorRole role :
       {QPalette::Text, QPalette::ButtonText, QPalette::WindowText}) {
    const QColor disabled = palette.color(QPalette::Disabled, role);
    palette.setColor(QPalette::Active, role, disabled);
    palette.setColor(QPalette::Inactive, role, disabled);
  }
  widget.setPalette(palette);
}

QWidget* CreateWidget(QWidget* parent, const ui::WindowControl& entry) {
  const QString text = ToQString(entry.text);
  switch (entry.kind) {
    case WindowControlKind::PushButton:
    case WindowControlKind::DefaultPushButton: {
      auto* button = new QPushButton(text, parent);
      button->setDefault(entry.kind == WindowControlKind::DefaultPushButton);
      return button;
    }
    case WindowControlKind::Label:
    case WindowControlKind::Static:
      return new QLabel(text, parent);
    case WindowControlKind::CheckBox:
      return new QCheckBox(text, parent);
    case WindowControlKind::Edit:
      return new QLineEdit(text, parent);
    case WindowControlKind::GroupBox:
      return new QGroupBox(text, parent);
    case WindowControlKind::DropDownList: {
      if (entry.enabled) return new QComboBox(parent);
      auto* list = new ReadOnlyList(parent);
      UseDisabledColours(*list);
      return list;
    }
    case WindowControlKind::ListBox:
      return new QListWidget(parent);
  }
  return new QWidget(parent);
}

}  // namespace

QString ControlObjectName(int id) {
  return QStringLiteral("control%1").arg(id);
}

ReadOnlyList::ReadOnlyList(QWidget* parent) : QComboBox(parent) {
  setFocusPolicy(Qt::StrongFocus);
}

void ReadOnlyList::keyPressEvent(QKeyEvent* event) {
  const QString text = event->text();
  const bool printable = text.size() == 1 && text[0].unicode() >= 0x20 && text[0].unicode() < 0x7F;
  if (printable && (event->modifiers() & ~Qt::ShiftModifier) == 0) {
    if (onChar) onChar(static_cast<char>(text[0].unicode()));
    event->accept();
    return;
  }
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
    event->ignore();  // the dialog's default button and Cancel
    return;
  }
  event->accept();  // arrows and the like would change the shown value
}

void ReadOnlyList::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  event->accept();
}

void ReadOnlyList::wheelEvent(QWheelEvent* event) {
  event->accept();
}

QWidget* CreateControl(QWidget* parent, const ui::WindowControl& entry) {
  QWidget* widget = CreateWidget(parent, entry);
  if (entry.id != ui::kNoControlId) widget->setObjectName(ControlObjectName(entry.id));
  int width = entry.width;
  // Labels and check boxes whose text runs longer than the table's width show it all.
  if (entry.kind == WindowControlKind::Label || entry.kind == WindowControlKind::CheckBox)
    width = std::max(width, widget->sizeHint().width());
  int height = entry.height;
  // A drop-down list's table height is the dropped-down one.
  if (entry.kind == WindowControlKind::DropDownList) height = widget->sizeHint().height();
  widget->setGeometry(entry.x, entry.y, width, height);
  if (entry.kind != WindowControlKind::DropDownList || entry.enabled)
    widget->setEnabled(entry.enabled);
  return widget;
}

void UseTableFont(QWidget& window) {
  QFont font = window.font();
  font.setPixelSize(11);
  window.setFont(font);
  window.setStyleSheet(QStringLiteral(
      "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
      "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"));
}

void ShowComboBox(QComboBox& widget, const ui::ComboBox& list) {
  bool same = widget.count() == static_cast<int>(list.items.size());
  for (int i = 0; same && i < widget.count(); ++i)
    same = widget.itemText(i) == ToQString(list.items[static_cast<std::size_t>(i)]);
  if (!same) {
    widget.clear();
    for (const std::string& item : list.items) widget.addItem(ToQString(item));
  }
  widget.setCurrentIndex(list.selection);
  if (qobject_cast<ReadOnlyList*>(&widget) == nullptr) widget.setEnabled(list.enabled);
}

}  // namespace veltrane::gui
