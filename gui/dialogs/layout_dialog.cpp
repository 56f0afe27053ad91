#include "gui/dialogs/layout_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringDecoder>
#include <algorithm>

namespace veltrane::gui {
namespace {

// A drop-down list's rectangle includes its open list; the closed box keeps
// its natural height and the rest bounds the list's visible rows.
void PlaceDropDown(QComboBox* combo, const ui::Rect& rect) {
  const int closed = std::min(rect.height, combo->sizeHint().height());
  combo->setGeometry(rect.x, rect.y, rect.width, closed);
  const int rowHeight = std::max(1, combo->fontMetrics().height() + 2);
  combo->setMaxVisibleItems(std::max(1, (rect.height - closed) / rowHeight));
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

LayoutDialog::LayoutDialog(const ui::DialogLayout& layout, QWidget* parent) : QDialog(parent) {
  setWindowTitle(ToQString(layout.title));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setModal(true);
  QFont font = this->font();
  font.setPointSize(8);
  setFont(font);
  setFixedSize(layout.width, layout.height);
  for (const ui::DialogControl& control : layout.controls) {
    QWidget* widget = Create(control);
    if (control.id != ui::kIdStatic) controls_[control.id] = widget;
  }
  if (QPushButton* ok = Button(ui::kIdOk)) {
    connect(ok, &QPushButton::clicked, this, [this] { OnOk(); });
  }
  if (QPushButton* cancel = Button(ui::kIdCancel)) {
    connect(cancel, &QPushButton::clicked, this, [this] { OnCancel(); });
  }
}

QWidget* LayoutDialog::Create(const ui::DialogControl& control) {
  const ui::Rect& r = control.rect;
  QWidget* widget = nullptr;
  switch (control.kind) {
    case ui::ControlKind::DefaultButton:
    case ui::ControlKind::PushButton: {
      auto* button = new QPushButton(ToQString(control.text), this);
      button->setDefault(control.kind == ui::ControlKind::DefaultButton);
      widget = button;
      break;
    }
    case ui::ControlKind::Label: {
      auto* label = new QLabel(ToQString(control.text), this);
      label->setTextFormat(Qt::PlainText);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      widget = label;
      break;
    }
    case ui::ControlKind::Edit:
      widget = new QLineEdit(ToQString(control.text), this);
      break;
    case ui::ControlKind::DropDownList: {
      auto* combo = new QComboBox(this);
      PlaceDropDown(combo, r);
      return combo;
    }
    case ui::ControlKind::SortedList: {
      auto* list = new QListWidget(this);
      list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      list->setSelectionMode(QAbstractItemView::SingleSelection);
      widget = list;
      break;
    }
  }
  widget->setGeometry(r.x, r.y, r.width, r.height);
  return widget;
}

QWidget* LayoutDialog::Control(int id) const {
  const auto found = controls_.find(id);
  return found == controls_.end() ? nullptr : found->second;
}

QPushButton* LayoutDialog::Button(int id) const {
  return qobject_cast<QPushButton*>(Control(id));
}
QComboBox* LayoutDialog::Combo(int id) const {
  return qobject_cast<QComboBox*>(Control(id));
}
QListWidget* LayoutDialog::List(int id) const {
  return qobject_cast<QListWidget*>(Control(id));
}
QLineEdit* LayoutDialog::Edit(int id) const {
  return qobject_cast<QLineEdit*>(Control(id));
}

void LayoutDialog::reject() {
  OnCancel();
}

void LayoutDialog::OnOk() {
  accept();
}

void LayoutDialog::OnCancel() {
  QDialog::reject();
}

}  // namespace veltrane::gui
