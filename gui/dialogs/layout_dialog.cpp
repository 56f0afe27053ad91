// SPDX-License-Identifier: MIT
#include "gui/dialogs/layout_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

namespace veltrane::gui {

LayoutDialog::LayoutDialog(const ui::DialogLayout& layout, QWidget* parent) : QDialog(parent) {
  setWindowTitle(ToQString(layout.title));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setModal(true);
  QFont font = this->font();
  font.setPointSize(8);
  setFont(font);
  setFixedSize(layout.width, layout.height);
  for (const ui::Control& control : layout.controls) {
    QWidget* widget = CreateControl(this, control);
    if (control.id != ui::id::kNone) controls_[control.id] = widget;
  }
  if (QPushButton* ok = Button(ui::id::kOk)) {
    connect(ok, &QPushButton::clicked, this, [this] { OnOk(); });
  }
  if (QPushButton* cancel = Button(ui::id::kCancel)) {
    connect(cancel, &QPushButton::clicked, this, [this] { OnCancel(); });
  }
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
