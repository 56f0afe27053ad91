// Fixed-size NUL-terminated text fields as the file formats hold them.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace veltrane::model {

template <std::size_t N>
using TextField = std::array<char, N>;

// The text up to the first NUL; a field without one is taken up to its end.
template <std::size_t N>
std::string_view FieldText(const TextField<N>& field) {
  const auto end = std::find(field.begin(), field.end(), '\0');
  return std::string_view(field.data(), static_cast<std::size_t>(end - field.begin()));
}

// Stores the text cut to N - 1 characters, zero bytes up to the end.
template <std::size_t N>
void SetFieldText(TextField<N>& field, std::string_view text) {
  field.fill('\0');
  const std::size_t n = std::min(text.size(), N - 1);
  std::copy_n(text.begin(), n, field.begin());
}

// The first `limit` characters of a text (the whole text when shorter).
inline std::string CutText(std::string_view text, std::size_t limit) {
  return std::string(text.substr(0, std::min(text.size(), limit)));
}

}  // namespace veltrane::model
