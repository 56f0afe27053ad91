// SPDX-License-Identifier: MIT
// The names closest to one a person typed, for "did you mean" hints.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace veltrane::model {

// Up to `most` of `names` that the typed text may have meant, best first (in
// list order among equals), letter case aside: the same name, names the
// text begins (at least two letters), names it differs from by a letter or
// two (one in five of its letters, at least one; two swapped letters count
// as one), and names that contain it (at least three letters). Empty when
// none is close.
std::vector<std::string_view> CloseNames(std::string_view typed,
                                         std::span<const std::string_view> names,
                                         std::size_t most = 3);

// Levenshtein distance with adjacent transpositions, letter case aside.
std::size_t EditDistance(std::string_view a, std::string_view b);

}  // namespace veltrane::model
