// Control tables of the key editing windows, in pixels of the client area.
// They carry check boxes, group boxes and enabled states, which the small
// dialogs of dialog_layout.h do not need.
#pragma once

#include <string_view>

#include "ui/dialogs/dialog_layout.h"  // DialogUnitsX, DialogUnitsY

namespace veltrane::ui {

enum class WindowControlKind {
  PushButton,
  DefaultPushButton,
  Label,
  CheckBox,
  Edit,
  GroupBox,
  DropDownList,  // combo box whose entries cannot be typed over
  ChoiceList,    // drop-down list that shows the model's choice; choices go to the model
  ListBox,
  Static,
};

struct WindowControl {
  WindowControlKind kind;
  std::string_view text;
  int x;
  int y;
  int width;
  int height;  // drop-down lists: the height with the list dropped down
  int id;      // kNoControlId for labels nobody addresses
  bool enabled = true;
};

inline constexpr int kNoControlId = -1;

}  // namespace veltrane::ui
