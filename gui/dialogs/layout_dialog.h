// SPDX-License-Identifier: MIT
// A modal dialog built from a DialogLayout: fixed client size, every control
// made by the one factory at its pixel rectangle, reachable by its id.
#pragma once

#include <QDialog>
#include <QString>
#include <map>
#include <string>
#include <string_view>

#include "gui/dialogs/control_widgets.h"  // ToQString, ToBytes
#include "ui/controls/dialog_layout.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace veltrane::gui {

class LayoutDialog : public QDialog {
 public:
  LayoutDialog(const ui::DialogLayout& layout, QWidget* parent);

  // The control of an id; nullptr when the dialog has none of that kind.
  QWidget* Control(int id) const;
  QPushButton* Button(int id) const;
  QComboBox* Combo(int id) const;
  QListWidget* List(int id) const;
  QLineEdit* Edit(int id) const;

  // Escape, the close button and "Cancel" all end up here.
  void reject() override;

 protected:
  // Handlers of the buttons 1 ("OK", "Load", "Save") and 2 ("Cancel"); by
  // default they accept and reject the dialog.
  virtual void OnOk();
  virtual void OnCancel();

 private:
  std::map<int, QWidget*> controls_;
};

}  // namespace veltrane::gui
