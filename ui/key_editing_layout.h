// Control tables of the key editing windows, in pixels of the client area.
#pragma once

#include <string_view>

namespace veltrane::ui {

enum class ControlKind {
  PushButton,
  DefaultPushButton,
  Label,
  CheckBox,
  Edit,
  GroupBox,
  DropDownList,  // combo box whose entries cannot be typed over
  ListBox,
  Static,
};

struct ControlSpec {
  ControlKind kind;
  std::string_view text;
  int x;
  int y;
  int width;
  int height;  // drop-down lists: the height with the list dropped down
  int id;      // kNoControlId for labels nobody addresses
  bool enabled = true;
};

inline constexpr int kNoControlId = -1;

// Dialog units of the templates' font become pixels as x * 1.5 and y * 1.625.
inline constexpr int DialogUnitsToPixelsX(int units) {
  return (units * 3 + 1) / 2;
}
inline constexpr int DialogUnitsToPixelsY(int units) {
  return (units * 13 + 4) / 8;
}

}  // namespace veltrane::ui
