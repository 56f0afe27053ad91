// Geometry of the program's dialogs: every control with its id, kind, text and
// rectangle in pixels relative to the dialog's client area, so that a front
// end can create them one to one.
#pragma once

#include <span>
#include <string_view>

namespace veltrane::ui {

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

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

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdStatic = -1;  // labels are not addressed

enum class ControlKind {
  DefaultButton,  // pressed by Enter
  PushButton,
  Label,
  Edit,          // single line, with a border
  DropDownList,  // drop-down combo box; the height includes the open list
  SortedList,    // sorted list box with border, a vertical scroll bar always shown
                 // and double clicks reported
};

struct DialogControl {
  int id = kIdStatic;
  ControlKind kind = ControlKind::Label;
  std::string_view text;
  Rect rect;
};

// A modal dialog with a caption and a system menu; width and height are the
// client area.
struct DialogLayout {
  std::string_view title;
  int width = 0;
  int height = 0;
  std::span<const DialogControl> controls;
};

}  // namespace veltrane::ui
