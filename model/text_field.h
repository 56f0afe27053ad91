// SPDX-License-Identifier: MIT
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

// Texts are UTF-8. The length of at most `limit` bytes to which a text is
// cut: never inside a UTF-8 character; bytes that form no valid character
// are cut like any other byte.
inline std::size_t Utf8CutLength(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return text.size();
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const auto continuation = [&](std::size_t i) { return (byte(i) & 0xC0) == 0x80; };
  if (!continuation(limit)) return limit;
  for (std::size_t lead = limit; lead > 0 && limit - lead < 3;) {
    --lead;
    if (continuation(lead)) continue;
    const unsigned char b = byte(lead);
    const std::size_t length = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 ? 2 : 1;
    if (b >= 0xF5 || lead + length <= limit || lead + length > text.size()) return limit;
    for (std::size_t i = lead + 1; i < lead + length; ++i)
      if (!continuation(i)) return limit;
    return lead;
  }
  return limit;
}

// The character of the well-formed UTF-8 sequence at `at` and its length; 0
// when none starts there (a stray byte, an overlong form, a surrogate or a
// code point past U+10FFFF, a sequence cut short).
inline std::size_t Utf8CharAt(std::string_view text, std::size_t at, char32_t& c) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char b = byte(at);
  if (b < 0x80) {
    c = b;
    return 1;
  }
  const std::size_t length = b >= 0xC2 && b <= 0xDF   ? 2
                             : b >= 0xE0 && b <= 0xEF ? 3
                             : b >= 0xF0 && b <= 0xF4 ? 4
                                                      : 0;
  if (length == 0 || at + length > text.size()) return 0;
  c = b & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    c = (c << 6) | (byte(at + i) & 0x3F);
  }
  const char32_t least = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
  return c >= least && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF) ? length : 0;
}

// Stores the text cut to N - 1 bytes on a character boundary, zero bytes up to the end.
template <std::size_t N>
void SetFieldText(TextField<N>& field, std::string_view text) {
  field.fill('\0');
  std::copy_n(text.begin(), Utf8CutLength(text, N - 1), field.begin());
}

// The text cut to at most `limit` bytes on a character boundary.
inline std::string CutText(std::string_view text, std::size_t limit) {
  return std::string(text.substr(0, Utf8CutLength(text, limit)));
}

}  // namespace veltrane::model
