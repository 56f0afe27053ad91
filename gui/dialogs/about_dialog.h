// "About": the program's name and version text.
#pragma once

#include "gui/dialogs/spec_dialog.h"

namespace veltrane::gui {

class AboutDialog : public SpecDialog {
 public:
  explicit AboutDialog(QWidget* parent);
};

}  // namespace veltrane::gui
