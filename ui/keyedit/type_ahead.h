// SPDX-License-Identifier: MIT
// Selecting a list entry by typing the first letters of its text, as list
// boxes do: the typed prefix builds up until the user pauses.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace veltrane::ui {

inline constexpr std::int64_t kTypeAheadPauseMs = 1000;

struct TypeAhead {
  std::string prefix;
  std::int64_t lastKeyMs = 0;
};

// The entry selected after typing `typed` at time `nowMs` (milliseconds of
// any steady clock): the first entry from the top whose text starts with the
// prefix, ignoring case. The same letter typed again moves on to the next
// entry starting with it, wrapping around. No match keeps `selection`.
int TypeAheadSelect(TypeAhead& state, const std::vector<std::string>& items, int selection,
                    char typed, std::int64_t nowMs);

}  // namespace veltrane::ui
