// Toolkit-free control state: what a window shows and whether it is enabled.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane::ui {

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

struct CheckBox {
  bool checked = false;
  bool enabled = true;
};

struct EditField {
  std::string text;
  bool enabled = true;
};

// The number an edit field holds, read as the platform reads an unsigned
// field: leading blanks, then only decimal digits, at most 2^32 - 1.
std::optional<std::uint32_t> ReadUnsigned(std::string_view text);

}  // namespace veltrane::ui
