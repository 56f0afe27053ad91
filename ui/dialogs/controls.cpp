// SPDX-License-Identifier: MIT
#include "ui/dialogs/controls.h"

namespace veltrane::ui {

void ComboBox::Select(int index) {
  selection = (index >= 0 && index < static_cast<int>(items.size())) ? index : -1;
}

void ComboBox::Fill(std::initializer_list<std::string_view> texts) {
  items.assign(texts.begin(), texts.end());
  selection = -1;
}

std::optional<std::uint32_t> ReadUnsigned(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i == text.size()) return std::nullopt;
  std::uint64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

}  // namespace veltrane::ui
