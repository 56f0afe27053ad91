// SPDX-License-Identifier: MIT
#include "persist/key_labels.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "model/close_names.h"
#include "model/key_tables.h"

namespace veltrane::persist {
namespace {

// USB keyboard usages 0x28..0x65 on a US layout.
constexpr std::array<std::string_view, 0x66 - 0x28> kUsages28 = {"Enter",
                                                                 "Escape",
                                                                 "Backspace",
                                                                 "Tab",
                                                                 "Space",
                                                                 "-",
                                                                 "=",
                                                                 "[",
                                                                 "]",
                                                                 "\\",
                                                                 "Non-US #",
                                                                 ";",
                                                                 "'",
                                                                 "`",
                                                                 ",",
                                                                 ".",
                                                                 "/",
                                                                 "Caps Lock",
                                                                 "F1",
                                                                 "F2",
                                                                 "F3",
                                                                 "F4",
                                                                 "F5",
                                                                 "F6",
                                                                 "F7",
                                                                 "F8",
                                                                 "F9",
                                                                 "F10",
                                                                 "F11",
                                                                 "F12",
                                                                 "Print Screen",
                                                                 "Scroll Lock",
                                                                 "Pause",
                                                                 "Insert",
                                                                 "Home",
                                                                 "Page Up",
                                                                 "Delete",
                                                                 "End",
                                                                 "Page Down",
                                                                 "Right",
                                                                 "Left",
                                                                 "Down",
                                                                 "Up",
                                                                 "Num Lock",
                                                                 "Keypad /",
                                                                 "Keypad *",
                                                                 "Keypad -",
                                                                 "Keypad +",
                                                                 "Keypad Enter",
                                                                 "Keypad 1",
                                                                 "Keypad 2",
                                                                 "Keypad 3",
                                                                 "Keypad 4",
                                                                 "Keypad 5",
                                                                 "Keypad 6",
                                                                 "Keypad 7",
                                                                 "Keypad 8",
                                                                 "Keypad 9",
                                                                 "Keypad 0",
                                                                 "Keypad .",
                                                                 "Non-US \\",
                                                                 "Application"};

constexpr std::array<std::string_view, 8> kModifierUsages = {
    "Left Ctrl",  "Left Shift",  "Left Alt",  "Left GUI",
    "Right Ctrl", "Right Shift", "Right Alt", "Right GUI"};

std::string UsageName(unsigned usage) {
  if (usage >= 0x04 && usage <= 0x1D) return std::string(1, static_cast<char>('A' + usage - 0x04));
  if (usage >= 0x1E && usage <= 0x26) return std::string(1, static_cast<char>('1' + usage - 0x1E));
  if (usage == 0x27) return "0";
  if (usage >= 0x28 && usage < 0x28 + kUsages28.size()) return std::string(kUsages28[usage - 0x28]);
  if (usage >= 0xE0 && usage <= 0xE7) return std::string(kModifierUsages[usage - 0xE0]);
  return {};
}

}  // namespace

std::string KeyLabel(int row) {
  const model::IbmKeyRow* entry = model::IbmKeyRowAt(row);
  if (entry == nullptr) return "?";
  // Rows 1..129 are key positions; those marked "Not Used!" have no key.
  const bool position = row >= 1 && row <= 129 && entry->type != model::UNUSED_KEY;
  const std::string name = position ? UsageName(entry->usb) : std::string();
  return name.empty() ? std::string(entry->legend) : name;
}

std::span<const KeyName> KeyNames() {
  static const std::vector<KeyName> names = [] {
    std::vector<KeyName> all;
    for (const model::IbmKeyRow& row : model::IbmKeyTable)
      all.push_back(
          {row.number, KeyLabel(row.number), row.legend, model::KeyTypeIdentifierOf(row.type)});
    return all;
  }();
  return names;
}

KeyNameMatch MatchKeyName(std::string_view text, std::span<const KeyName> names) {
  KeyNameMatch match;
  for (const KeyName& name : names)
    if (name.tableName == text) {
      match.row = name.row;
      return match;
    }
  for (const KeyName& name : names)
    if (name.label == text) match.sharing.push_back(name.row);
  if (match.sharing.size() == 1) match.row = match.sharing.front();
  if (match.sharing.size() <= 1) match.sharing.clear();
  if (match.row || !match.sharing.empty()) return match;
  std::vector<std::string_view> all;
  for (const KeyName& name : names)
    for (std::string_view text : {std::string_view(name.label), name.tableName})
      if (std::find(all.begin(), all.end(), text) == all.end()) all.push_back(text);
  for (std::string_view close : model::CloseNames(text, all)) match.close.emplace_back(close);
  return match;
}

bool NamesRow(std::string_view text, int row) {
  const std::span<const KeyName> names = KeyNames();
  if (row < 0 || row >= static_cast<int>(names.size())) return false;
  const KeyName& name = names[static_cast<std::size_t>(row)];
  return text == name.label || text == name.tableName;
}

}  // namespace veltrane::persist
