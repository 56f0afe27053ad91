// SPDX-License-Identifier: MIT
// The one vocabulary for the controls of every window: a control as its
// window's table creates it (kind, id, text, place), and the state a view
// model keeps of the lists, check boxes and fields it shows. Toolkit-free;
// the front end has one factory and one sync for them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/settings_schema.h"
#include "ui/controls/control_ids.h"

namespace veltrane::ui {

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

enum class ControlKind {
  DefaultButton,  // pressed by Enter
  PushButton,
  CheckBox,    // its mark is the view model's: a click only reports itself
  Label,       // one line, as wide as its text needs
  Static,      // text in its rectangle, from the top left
  Edit,        // single line, with a border
  DigitsEdit,  // an edit that takes decimal digits only
  GroupBox,
  DropDownList,   // a list that opens below itself; the height includes the open list
  ComboBox,       // a drop-down list with a field to type an entry's text into
  ChoiceList,     // a drop-down list that shows the model's choice; picks go to the model
  ListBox,        // a list with a border and a vertical scroll bar always shown
  PictureButton,  // only a picture: the matrix and LED buttons
};

struct Control {
  ControlKind kind = ControlKind::Static;
  int id = id::kNone;
  std::string_view text;
  Rect rect;
  bool enabled = true;
};

// A list's entries and which one is chosen.
struct ComboBox {
  std::vector<std::string> items;
  int selection = -1;  // -1: no entry selected
  bool enabled = true;

  // Selecting an index that has no entry selects none.
  void Select(int index);
  void Fill(std::initializer_list<std::string_view> texts);
  template <typename List>
  void FillFrom(const List& texts) {
    items.assign(texts.begin(), texts.end());
    selection = -1;
  }
};

using ListBox = ComboBox;  // entries kept sorted where the window says so

struct CheckBox {
  bool checked = false;
  bool enabled = true;
};

struct EditField {
  std::string text;
  bool enabled = true;
  std::string note;  // why the text last typed was refused (a tooltip); empty once one is taken
};

// The number an edit field holds, read as the platform reads an unsigned
// field: leading blanks, then only decimal digits, at most 2^32 - 1.
std::optional<std::uint32_t> ReadUnsigned(std::string_view text);

// Why a field's text is not a value of the setting from `min` to its range's
// end (ReadUnsigned's number), e.g. "300 is outside 1..255: DebounceTime
// stays 28"; empty when it is one.
std::string NumberRefusal(const model::SettingEntry& entry, std::int64_t min, std::string_view text,
                          std::int64_t stored);

}  // namespace veltrane::ui
