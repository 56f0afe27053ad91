// SPDX-License-Identifier: MIT
#include "picture/readable_text.h"

#include <cstdint>

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

// The lead bytes of multi-byte sequences: their length, the bits they carry
// and the least character of that length (shorter forms are overlong).
struct LeadByte {
  std::uint8_t first, last;
  std::size_t length;
  std::uint8_t bits;
  char32_t least;
};
constexpr LeadByte kLeadBytes[] = {
    {0xC2, 0xDF, 2, 0x1F, 0x80}, {0xE0, 0xEF, 3, 0x0F, 0x800}, {0xF0, 0xF4, 4, 0x07, 0x10000}};

// The character of the valid UTF-8 sequence at `at` and its length, or a length of 0.
std::size_t DecodeAt(std::string_view s, std::size_t at, char32_t& c) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
  if (byte(at) < 0x80) {
    c = byte(at);
    return 1;
  }
  for (const LeadByte& lead : kLeadBytes) {
    if (byte(at) < lead.first || byte(at) > lead.last) continue;
    if (at + lead.length > s.size()) return 0;
    c = byte(at) & lead.bits;
    for (std::size_t i = 1; i < lead.length; ++i) {
      if ((byte(at + i) & 0xC0) != 0x80) return 0;
      c = (c << 6) | (byte(at + i) & 0x3F);
    }
    const bool valid = c >= lead.least && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
    return valid ? lead.length : 0;
  }
  return 0;
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
    std::size_t length = DecodeAt(bytes, at, c);
    if (length == 0) c = static_cast<std::uint8_t>(bytes[at]), length = 1;
    AppendUtf8(out, Drawable(c) ? c : kReplacement);
    at += length;
  }
  return out;
}

}  // namespace veltrane::picture
