// SPDX-License-Identifier: MIT
// "Did you mean": the names a typed one may have meant, closest first.
#include "model/close_names.h"

#include <gtest/gtest.h>

#include <array>

namespace veltrane::model {
namespace {

using Names = std::vector<std::string_view>;

TEST(CloseNames, TyposSwapsCaseAndBeginningsFindTheName) {
  constexpr std::array<std::string_view, 6> names = {"report",  "export", "import",
                                                     "station", "Escape", "End"};
  EXPECT_EQ(CloseNames("expot", names), Names{"export"});   // a letter left out
  EXPECT_EQ(CloseNames("improt", names), Names{"import"});  // two letters swapped
  EXPECT_EQ(CloseNames("REPORT", names), Names{"report"});  // letter case aside
  EXPECT_EQ(CloseNames("Esc", names), Names{"Escape"});     // its beginning
  EXPECT_EQ(CloseNames("frobnicate", names), Names{});
  EXPECT_EQ(CloseNames("e", names), Names{});  // one letter says too little
  // The same name first, then the beginnings, then the typos, at most `most`.
  constexpr std::array<std::string_view, 4> keys = {"Page Down", "Page Up", "Pause", "Page"};
  EXPECT_EQ(CloseNames("page", keys), (Names{"Page", "Page Down", "Page Up"}));
  EXPECT_EQ(CloseNames("page", keys, 2), (Names{"Page", "Page Down"}));
}

TEST(CloseNames, EditDistanceCountsASwapAsOne) {
  EXPECT_EQ(EditDistance("", "abc"), 3u);
  EXPECT_EQ(EditDistance("abc", "acb"), 1u);
  EXPECT_EQ(EditDistance("Keypad7", "keypad 7"), 1u);
}

}  // namespace
}  // namespace veltrane::model
