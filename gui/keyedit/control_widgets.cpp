#include "gui/keyedit/control_widgets.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStandardItemModel>
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
    case WindowControlKind::DropDownList:
      return new QComboBox(parent);
    case WindowControlKind::ChoiceList:
      return new ChoiceList(parent);
    case WindowControlKind::ListBox:
      return new QListWidget(parent);
  }
  return new QWidget(parent);
}

}  // namespace

QString ControlObjectName(int id) {
  return QStringLiteral("control%1").arg(id);
}

ChoiceList::ChoiceList(QWidget* parent) : QComboBox(parent), normal_(palette()) {
  setFocusPolicy(Qt::StrongFocus);
  setMaxVisibleItems(20);
  // The model decides what is shown; the widget shows it again after each pick.
  connect(this, &QComboBox::activated, this, [this](int entry) {
    if (onChoose) onChoose(entry);
  });
  UseDisabledColours(*this);
}

void ChoiceList::SetChoosable(const std::vector<bool>& entries) {
  auto* items = qobject_cast<QStandardItemModel*>(model());
  bool any = false;
  for (int i = 0; i < count(); ++i) {
    const bool allowed = static_cast<std::size_t>(i) < entries.size() && entries[i];
    any = any || allowed;
    if (items != nullptr && items->item(i) != nullptr && items->item(i)->isEnabled() != allowed)
      items->item(i)->setEnabled(allowed);
  }
  const bool wasAny = std::find(choosable_.begin(), choosable_.end(), true) != choosable_.end();
  choosable_ = entries;
  if (any == wasAny) return;
  if (any) {
    setPalette(normal_);
  } else {
    UseDisabledColours(*this);
  }
}

void ChoiceList::showPopup() {
  if (std::find(choosable_.begin(), choosable_.end(), true) != choosable_.end())
    QComboBox::showPopup();
}

void ChoiceList::keyPressEvent(QKeyEvent* event) {
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
  if (key == Qt::Key_F4 || ((event->modifiers() & Qt::AltModifier) && key == Qt::Key_Down)) {
    showPopup();
  }
  event->accept();  // arrows and the like would change the shown value
}

void ChoiceList::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  // The combo box's own press handling opens the popup (showPopup decides)
  // and keeps the release of this click from closing it again.
  QComboBox::mousePressEvent(event);
  event->accept();
}

void ChoiceList::wheelEvent(QWheelEvent* event) {
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
  if (entry.kind == WindowControlKind::DropDownList || entry.kind == WindowControlKind::ChoiceList)
    height = widget->sizeHint().height();
  widget->setGeometry(entry.x, entry.y, width, height);
  widget->setEnabled(entry.enabled);
  return widget;
}

void UseTableFont(QWidget& window) {
  QFont font = window.font();
  font.setPixelSize(11);
  window.setFont(font);
  window.setStyleSheet(QStringLiteral(
      "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
      "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"
      // Drop-down lists open below themselves, as many rows as they are set to show.
      "QComboBox { combobox-popup: 0; }"));
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
  if (qobject_cast<ChoiceList*>(&widget) == nullptr) widget.setEnabled(list.enabled);
}

}  // namespace veltrane::gui
