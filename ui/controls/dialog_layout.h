// SPDX-License-Identifier: MIT
// Geometry of the program's dialogs: every control with its id, kind, text and
// rectangle in pixels relative to the dialog's client area, so that a front
// end can create them one to one.
#pragma once

#include <span>
#include <string_view>

#include "ui/controls/controls.h"

namespace veltrane::ui {

// Dialog units in pixels, for the base units of an 8-point dialog font at
// 96 DPI (6 x 13 pixels per 4 x 8 units), rounded to the nearest pixel.
constexpr int DialogUnitsX(int units) {
  return (units * 3 + 1) / 2;
}
constexpr int DialogUnitsY(int units) {
  return (units * 13 + 4) / 8;
}
constexpr Rect DialogUnitsRect(int x, int y, int width, int height) {
  return {DialogUnitsX(x), DialogUnitsY(y), DialogUnitsX(width), DialogUnitsY(height)};
}

// A modal dialog with a caption and a system menu; width and height are the
// client area.
struct DialogLayout {
  std::string_view title;
  int width = 0;
  int height = 0;
  std::span<const Control> controls;
};

}  // namespace veltrane::ui
