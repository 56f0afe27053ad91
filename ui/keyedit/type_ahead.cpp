// SPDX-License-Identifier: MIT
#include "ui/keyedit/type_ahead.h"

#include <algorithm>
#include <cctype>

namespace veltrane::ui {
namespace {

char Lower(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (Lower(text[i]) != Lower(prefix[i])) return false;
  return true;
}

bool AllSameLetter(std::string_view prefix) {
  return prefix.size() > 1 && std::all_of(prefix.begin(), prefix.end(),
                                          [&](char c) { return Lower(c) == Lower(prefix[0]); });
}

}  // namespace

int TypeAheadSelect(TypeAhead& state, const std::vector<std::string>& items, int selection,
                    char typed, std::int64_t nowMs) {
  if (state.prefix.empty() || nowMs - state.lastKeyMs > kTypeAheadPauseMs) state.prefix.clear();
  state.lastKeyMs = nowMs;
  state.prefix += typed;
  const int count = static_cast<int>(items.size());
  if (AllSameLetter(state.prefix)) {
    const std::string_view letter(state.prefix.data(), 1);
    for (int step = 1; step <= count; ++step) {
      const int i = ((selection < 0 ? -1 : selection) + step) % count;
      if (StartsWith(items[static_cast<std::size_t>(i)], letter)) return i;
    }
    return selection;
  }
  for (int i = 0; i < count; ++i)
    if (StartsWith(items[static_cast<std::size_t>(i)], state.prefix)) return i;
  return selection;
}

}  // namespace veltrane::ui
