// SPDX-License-Identifier: MIT
#include "model/close_names.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace veltrane::model {
namespace {

std::string Folded(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

constexpr std::size_t kFar = static_cast<std::size_t>(-1);

// How far `name` is from `typed` (0 the same, lower closer), or kFar.
std::size_t Closeness(const std::string& typed, const std::string& name) {
  if (typed == name) return 0;
  if (typed.size() >= 2 && name.starts_with(typed)) return 1;
  const std::size_t allowed = std::max<std::size_t>(1, typed.size() / 5);
  // The distance is at least the difference in length: no need to count it out.
  const std::size_t apart =
      std::max(typed.size(), name.size()) - std::min(typed.size(), name.size());
  if (apart <= allowed) {
    const std::size_t distance = EditDistance(typed, name);
    if (distance <= allowed) return 1 + distance;
  }
  if (typed.size() >= 3 && name.find(typed) != std::string::npos) return 4;
  return kFar;
}

}  // namespace

std::size_t EditDistance(std::string_view a, std::string_view b) {
  const std::string x = Folded(a), y = Folded(b);
  // Three rows of the Damerau (optimal string alignment) table.
  std::vector<std::size_t> before(y.size() + 1), last(y.size() + 1), row(y.size() + 1);
  for (std::size_t j = 0; j <= y.size(); ++j) last[j] = j;
  for (std::size_t i = 1; i <= x.size(); ++i) {
    row[0] = i;
    for (std::size_t j = 1; j <= y.size(); ++j) {
      const std::size_t cost = x[i - 1] == y[j - 1] ? 0 : 1;
      row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + cost});
      if (i > 1 && j > 1 && x[i - 1] == y[j - 2] && x[i - 2] == y[j - 1])
        row[j] = std::min(row[j], before[j - 2] + 1);
    }
    std::swap(before, last);
    std::swap(last, row);
  }
  return last[y.size()];
}

std::vector<std::string_view> CloseNames(std::string_view typed,
                                         std::span<const std::string_view> names,
                                         std::size_t most) {
  const std::string folded = Folded(typed);
  std::vector<std::pair<std::size_t, std::size_t>> found;  // closeness, position
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::size_t closeness = Closeness(folded, Folded(names[i]));
    if (closeness != kFar) found.emplace_back(closeness, i);
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string_view> close;
  for (std::size_t i = 0; i < found.size() && i < most; ++i)
    close.push_back(names[found[i].second]);
  return close;
}

}  // namespace veltrane::model
