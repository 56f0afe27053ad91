// SPDX-License-Identifier: MIT
// Text bound for the user's terminal from sources the user does not control,
// such as a keyboard's product string.
#pragma once

#include <string>
#include <string_view>

namespace veltrane::cli {

// The text with every control character (C0, DEL and C1) and every byte that is
// not part of well-formed UTF-8 written as \xHH (lower-case hex), so that no
// escape sequence reaches the terminal. Printable UTF-8 stays as it is.
std::string EscapeControls(std::string_view text);

}  // namespace veltrane::cli
