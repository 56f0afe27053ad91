// SPDX-License-Identifier: MIT
#include "picture/readable_text.h"

#include <cstdint>

#include "model/text_field.h"

namespace veltrane::picture {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool Drawable(char32_t c) {
  if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return false;
  return c != 0xFFFE && c != 0xFFFF;
}

}  // namespace

std::string ReadableText(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t at = 0; at < bytes.size();) {
    char32_t c = 0;
    std::size_t length = model::Utf8CharAt(bytes, at, c);
    if (length == 0) c = static_cast<std::uint8_t>(bytes[at]), length = 1;
    AppendUtf8(out, Drawable(c) ? c : kReplacement);
    at += length;
  }
  return out;
}

}  // namespace veltrane::picture
