// SPDX-License-Identifier: MIT
#include "gui/key_codes.h"

#include <QKeyEvent>

#include "ui/dialogs/key_mapping.h"

namespace veltrane::gui {

int VirtualKeyOf(const QKeyEvent& event) {
  const int key = event.key();
  const int evdev = ui::EvdevFromNativeScanCode(event.nativeScanCode());
  if (evdev > 0) {
    // The physical key decides, the layout's character only for letters and digits.
    const QString text = event.text();
    const char32_t character = text.size() == 1 ? text.at(0).unicode() : U'\0';
    return ui::VirtualKeyOf(evdev, character, true);
  }
  // Without a native scan code (synthetic events) the US layout's characters stand in.
  if (key == Qt::Key_Apostrophe || key == Qt::Key_QuoteDbl) return kVirtualKeyOem7;
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
  return 0;
}

}  // namespace veltrane::gui
