// SPDX-License-Identifier: MIT
#include "ui/controls/controls.h"

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

std::string NumberRefusal(const model::SettingEntry& entry, std::int64_t min, std::string_view text,
                          std::int64_t stored) {
  const std::string range = std::to_string(min) + ".." + std::to_string(entry.max);
  const std::string kept = std::string(entry.name) + " stays " + std::to_string(stored);
  const std::optional<std::uint32_t> number = ReadUnsigned(text);
  if (!number) {
    const bool empty = text.find_first_not_of(" \t") == std::string_view::npos;
    return (empty ? "An empty field" : "\"" + std::string(text) + "\"") + " is not a number " +
           range + ": " + kept;
  }
  if (*number < min || *number > entry.max)
    return std::to_string(*number) + " is outside " + range + ": " + kept;
  return {};
}

}  // namespace veltrane::ui
