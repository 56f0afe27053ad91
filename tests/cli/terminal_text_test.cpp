// SPDX-License-Identifier: MIT
#include "cli/terminal_text.h"

#include <gtest/gtest.h>

namespace veltrane::cli {
namespace {

TEST(EscapeControls, KeepsPrintableUtf8AndEscapesEverythingElse) {
  EXPECT_EQ(EscapeControls("V0527X Simulated keyboard"), "V0527X Simulated keyboard");
  EXPECT_EQ(EscapeControls("caf\xc3\xa9 \xe2\x86\x92 \xf0\x9f\x98\x80"),
            "caf\xc3\xa9 \xe2\x86\x92 \xf0\x9f\x98\x80");
  EXPECT_EQ(EscapeControls("a\x1b[2Jb\tc\x7f"), "a\\x1b[2Jb\\x09c\\x7f");
  EXPECT_EQ(EscapeControls(std::string_view("\0x", 2)), "\\x00x");
  // C1 controls, whether encoded or bare, and bytes outside well-formed UTF-8.
  EXPECT_EQ(EscapeControls("\xc2\x9b" "1m"), "\\xc2\\x9b1m");
  EXPECT_EQ(EscapeControls("\x9b" "1m"), "\\x9b1m");
  EXPECT_EQ(EscapeControls("caf\xe9"), "caf\\xe9");
  EXPECT_EQ(EscapeControls("\xc0\xaf\xed\xa0\x80\xe2\x86"), "\\xc0\\xaf\\xed\\xa0\\x80\\xe2\\x86");
}

}  // namespace
}  // namespace veltrane::cli
