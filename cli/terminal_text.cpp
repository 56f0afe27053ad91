// SPDX-License-Identifier: MIT
#include "cli/terminal_text.h"

#include <cstdio>

namespace veltrane::cli {
namespace {

unsigned char ByteAt(std::string_view text, std::size_t at) {
  return static_cast<unsigned char>(text[at]);
}

// The length of the well-formed UTF-8 sequence of two or more bytes at `at`
// (no overlong forms, surrogates or code points above U+10FFFF), or 0.
std::size_t SequenceLength(std::string_view text, std::size_t at) {
  const unsigned char lead = ByteAt(text, at);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    const unsigned char next = ByteAt(text, at + k);
    if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return 0;
  }
  return length;
}

bool IsC1Control(std::string_view text, std::size_t at) {
  return ByteAt(text, at) == 0xC2 && ByteAt(text, at + 1) <= 0x9F;
}

void AppendEscaped(std::string& out, unsigned char byte) {
  char hex[5];
  std::snprintf(hex, sizeof hex, "\\x%02x", byte);
  out.append(hex);
}

}  // namespace

std::string EscapeControls(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    const unsigned char byte = ByteAt(text, at);
    if (byte >= 0x20 && byte < 0x7F) {
      out.push_back(static_cast<char>(byte));
      ++at;
      continue;
    }
    const std::size_t length = byte >= 0x80 ? SequenceLength(text, at) : 0;
    if (length == 0 || IsC1Control(text, at)) {
      const std::size_t end = length == 0 ? at + 1 : at + length;
      for (; at < end; ++at) AppendEscaped(out, ByteAt(text, at));
      continue;
    }
    out.append(text.substr(at, length));
    at += length;
  }
  return out;
}

}  // namespace veltrane::cli
