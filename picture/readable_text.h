// SPDX-License-Identifier: MIT
// Texts from a definition made fit to draw: legends are UTF-8 by now, but
// older files hold 8-bit text and any file may hold control bytes.
#pragma once

#include <string>
#include <string_view>

namespace veltrane::picture {

// Valid UTF-8 without control characters: valid sequences are kept, a byte
// that starts none is read as Latin-1, and control characters (C0, DEL, C1)
// and characters XML may not hold become U+FFFD.
std::string ReadableText(std::string_view bytes);

}  // namespace veltrane::picture
