// SPDX-License-Identifier: MIT
#include "gui/dialogs/control_widgets.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStandardItemModel>
#include <QStringDecoder>
#include <algorithm>

#include "gui/dialogs/key_pictures.h"

namespace veltrane::gui {
namespace {

using ui::ControlKind;

// A list with a field is as high as an edit field; its table height bounds its open list.
constexpr int kFieldListHeight = 20;
constexpr int kFieldListRowHeight = 16;

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

QLabel* NewLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  return label;
}

QComboBox* NewFieldList(QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  return box;
}

QListWidget* NewListBox(QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  return list;
}

QWidget* CreateWidget(QWidget* parent, const ui::Control& control) {
  const QString text = ToQString(control.text);
  switch (control.kind) {
    case ControlKind::DefaultButton:
    case ControlKind::PushButton: {
      auto* button = new QPushButton(text, parent);
      button->setDefault(control.kind == ControlKind::DefaultButton);
      return button;
    }
    case ControlKind::CheckBox:
      return new ModelCheckBox(text, parent);
    case ControlKind::Label:
      return NewLabel(text, parent);
    case ControlKind::Static: {
      QLabel* label = NewLabel(text, parent);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return label;
    }
    case ControlKind::Edit:
      return new QLineEdit(text, parent);
    case ControlKind::DigitsEdit: {
      auto* edit = new QLineEdit(text, parent);
      edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
      return edit;
    }
    case ControlKind::GroupBox:
      return new QGroupBox(text, parent);
    case ControlKind::DropDownList:
      return new QComboBox(parent);
    case ControlKind::ComboBox:
      return NewFieldList(parent);
    case ControlKind::ChoiceList:
      return new ChoiceList(parent);
    case ControlKind::ListBox:
      return NewListBox(parent);
    case ControlKind::PictureButton:
      return new PictureButton(parent);
  }
  return new QWidget(parent);
}

// A drop-down list's rectangle includes its open list: the closed box is as
// high as it needs (a list with a field as an edit field), the rest bounds the
// rows the open list shows.
QRect PlaceDropDown(QComboBox& combo, const ui::Control& control) {
  const ui::Rect& r = control.rect;
  if (control.kind == ControlKind::ComboBox) {
    combo.setMaxVisibleItems(std::max(1, (r.height - kFieldListHeight) / kFieldListRowHeight));
    return {r.x, r.y, r.width, kFieldListHeight};
  }
  const int closed = std::min(r.height, combo.sizeHint().height());
  if (control.kind == ControlKind::DropDownList) {
    const int rowHeight = std::max(1, combo.fontMetrics().height() + 2);
    combo.setMaxVisibleItems(std::max(1, (r.height - closed) / rowHeight));
  }
  return {r.x, r.y, r.width, closed};
}

// What the user typed and has not finished yet is theirs until Enter or leaving the field.
bool BeingTyped(const QLineEdit* edit) {
  return edit != nullptr && edit->hasFocus() && edit->isModified();
}

bool SameItems(const QStringList& shown, const std::vector<std::string>& items) {
  if (shown.size() != static_cast<qsizetype>(items.size())) return false;
  for (qsizetype i = 0; i < shown.size(); ++i)
    if (shown[i] != ToQString(items[static_cast<std::size_t>(i)])) return false;
  return true;
}

QStringList Texts(const QComboBox& box) {
  QStringList texts;
  for (int i = 0; i < box.count(); ++i) texts << box.itemText(i);
  return texts;
}

QStringList Texts(const QListWidget& list) {
  QStringList texts;
  for (int i = 0; i < list.count(); ++i) texts << list.item(i)->text();
  return texts;
}

void ShowList(QListWidget& list, const ui::ComboBox& state) {
  if (!SameItems(Texts(list), state.items)) {
    list.clear();
    for (const std::string& item : state.items) list.addItem(ToQString(item));
  }
  if (list.currentRow() != state.selection) list.setCurrentRow(state.selection);
  list.setEnabled(state.enabled);
}

void ShowDropDown(QComboBox& box, const ui::ComboBox& state) {
  if (!SameItems(Texts(box), state.items)) {
    box.clear();
    for (const std::string& item : state.items) box.addItem(ToQString(item));
  }
  if (box.currentIndex() != state.selection) box.setCurrentIndex(state.selection);
  if (box.isEditable()) {
    const QString chosen = state.selection >= 0 ? box.itemText(state.selection) : QString();
    if (box.currentText() != chosen && !BeingTyped(box.lineEdit())) box.setEditText(chosen);
  }
  // A choice list's own colours tell whether anything can be chosen.
  if (qobject_cast<ChoiceList*>(&box) == nullptr) box.setEnabled(state.enabled);
}

}  // namespace

QString ToQString(std::string_view text) {
  const QByteArrayView bytes(text.data(), static_cast<qsizetype>(text.size()));
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString shown = utf8(bytes);
  if (!utf8.hasError()) return shown;
  return QString::fromLatin1(bytes);
}

std::string ToBytes(const QString& text) {
  return text.toUtf8().toStdString();
}

QString ControlObjectName(int id) {
  return QStringLiteral("control%1").arg(id);
}

QWidget* CreateControl(QWidget* parent, const ui::Control& control) {
  QWidget* widget = CreateWidget(parent, control);
  if (control.id != ui::id::kNone) widget->setObjectName(ControlObjectName(control.id));
  QRect place(control.rect.x, control.rect.y, control.rect.width, control.rect.height);
  // Labels and check boxes whose text runs longer than the table's width show it all.
  if (control.kind == ControlKind::Label || control.kind == ControlKind::CheckBox)
    place.setWidth(std::max(place.width(), widget->sizeHint().width()));
  if (auto* combo = qobject_cast<QComboBox*>(widget)) place = PlaceDropDown(*combo, control);
  widget->setGeometry(place);
  widget->setEnabled(control.enabled);
  return widget;
}

void Show(QWidget* widget, const ui::CheckBox& state) {
  auto* box = qobject_cast<QAbstractButton*>(widget);
  if (box == nullptr) return;
  const QSignalBlocker blocker(box);
  box->setChecked(state.checked);
  box->setEnabled(state.enabled);
}

void Show(QWidget* widget, const ui::EditField& state) {
  auto* edit = qobject_cast<QLineEdit*>(widget);
  if (edit == nullptr) return;
  const QSignalBlocker blocker(edit);
  if (const QString text = ToQString(state.text); edit->text() != text && !BeingTyped(edit))
    edit->setText(text);
  edit->setEnabled(state.enabled);
  if (const QString note = ToQString(state.note); edit->toolTip() != note) edit->setToolTip(note);
}

void Show(QWidget* widget, const ui::ComboBox& state) {
  const QSignalBlocker blocker(widget);
  if (auto* box = qobject_cast<QComboBox*>(widget)) ShowDropDown(*box, state);
  if (auto* list = qobject_cast<QListWidget*>(widget)) ShowList(*list, state);
}

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

}  // namespace veltrane::gui
