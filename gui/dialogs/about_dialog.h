// SPDX-License-Identifier: MIT
// "About": the program's name and version text.
#pragma once

#include "gui/dialogs/layout_dialog.h"

namespace veltrane::gui {

class AboutDialog : public LayoutDialog {
 public:
  explicit AboutDialog(QWidget* parent);
};

}  // namespace veltrane::gui
