// SPDX-License-Identifier: MIT
#include "gui/dialogs/auto_repeat.h"

#include <QGuiApplication>

#ifdef VELTRANE_HAVE_X11
// Xlib's macros (None, KeyPress, Bool, ...) clash with Qt's names: included last.
#include <X11/XKBlib.h>
#endif

namespace veltrane::gui {

bool UseDetectableAutoRepeat() {
#ifdef VELTRANE_HAVE_X11
  auto* x11 = qGuiApp == nullptr ? nullptr
                                 : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->display() == nullptr) return false;
  int supported = 0;
  XkbSetDetectableAutoRepeat(x11->display(), 1, &supported);
  return supported != 0;
#else
  return false;
#endif
}

}  // namespace veltrane::gui
