// A modal dialog built from a DialogLayout: fixed client size, every control at
// its pixel rectangle, reachable by its id.
#pragma once

#include <QDialog>
#include <QString>
#include <map>
#include <string>
#include <string_view>

#include "ui/dialogs/dialog_layout.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace veltrane::gui {

// The one conversion of the program's texts. Texts are UTF-8, also the
// definition's 31-byte fields; bytes that are no UTF-8 (a file written
// elsewhere) are shown one character per byte rather than as U+FFFD, and are
// kept as they are until the text is edited.
QString ToQString(std::string_view text);
std::string ToBytes(const QString& text);

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
  QWidget* Create(const ui::DialogControl& control);

  std::map<int, QWidget*> controls_;
};

}  // namespace veltrane::gui
