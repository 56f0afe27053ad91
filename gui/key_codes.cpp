#include "gui/key_codes.h"

#include <QKeyEvent>

namespace veltrane::gui {
namespace {

constexpr quint32 kXkbApostropheScanCode = 40 + 8;

}  // namespace

int VirtualKeyOf(const QKeyEvent& event) {
  const quint32 scanCode = event.nativeScanCode();
  if (scanCode == kXkbApostropheScanCode) return kVirtualKeyOem7;
  const int key = event.key();
  // Without a native scan code (synthetic events) the US layout's characters stand in.
  if (scanCode == 0 && (key == Qt::Key_Apostrophe || key == Qt::Key_QuoteDbl))
    return kVirtualKeyOem7;
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
  return 0;
}

}  // namespace veltrane::gui
