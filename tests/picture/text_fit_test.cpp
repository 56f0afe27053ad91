// SPDX-License-Identifier: MIT
// Texts made drawable and fitted: never wider than their room, cut only
// between characters, "…" where something was left out.
#include "picture/text_fit.h"

#include <gtest/gtest.h>

#include "picture/readable_text.h"

namespace veltrane::picture {
namespace {

TEST(ReadableText, KeepsUtf8AndMakesEveryOtherByteDrawable) {
  EXPECT_EQ(ReadableText("Ä Шифт 中"), "Ä Шифт 中");
  EXPECT_EQ(ReadableText("\xC4nd"), "Änd");  // an 8-bit legend of an older file, read as Latin-1
  EXPECT_EQ(ReadableText("a\tb\x7F"), "a\uFFFDb\uFFFD");
  EXPECT_EQ(ReadableText("\xC2\x85"), "\uFFFD");                  // C1 control NEL
  EXPECT_EQ(ReadableText("\xC0\xAF"), "\u00C0\u00AF");            // an overlong '/' is no character
  EXPECT_EQ(ReadableText("\xED\xA0\x80"), "\u00ED\u00A0\uFFFD");  // a surrogate half
  EXPECT_EQ(ReadableText("\xEF\xBF\xBF"), "\uFFFD");              // U+FFFF, which XML may not hold
}

TEST(TextFit, ATextThatFitsIsKeptAndALongOneEndsInAnEllipsis) {
  TextFit fit;
  EXPECT_EQ(fit.Shortened("Enter", 9.5, true, fit.Width("Enter", 9.5, true)), "Enter");
  // A long text ends in an ellipsis within its room.
  const std::string shortened = fit.Shortened("Scroll Lock and more", 9.5, true, 40);
  EXPECT_TRUE(shortened.ends_with("…")) << shortened;
  EXPECT_LE(fit.Width(shortened, 9.5, true), 40);
  EXPECT_EQ(fit.Shortened("Scroll Lock", 9.5, true, 1), "…");
}

TEST(TextFit, WideCharactersAreCutWholeAndNeverOverflow) {
  TextFit fit;
  // 31 bytes, the most a legend holds: ten fullwidth letters (in whatever font has
  // them, or as the boxes of a missing glyph) and a space.
  const std::string wide = "ＷＷＷＷＷＷＷＷＷＷ ";
  ASSERT_EQ(wide.size(), 31u);
  for (double room : {20.0, 33.0, 55.0}) {
    const std::string shortened = fit.Shortened(wide, 6.5, false, room);
    EXPECT_LE(fit.Width(shortened, 6.5, false), room) << shortened;
    EXPECT_EQ(ReadableText(shortened), shortened) << "cut inside a character";
  }
  // A base letter keeps its combining accent: "é" written as e and U+0301.
  const std::string accents = "e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301";
  const std::string cut = fit.Shortened(accents, 9.5, false, fit.Width(accents, 9.5, false) - 1);
  EXPECT_TRUE(cut.substr(0, cut.size() - 3).ends_with("e\u0301")) << cut;
}

}  // namespace
}  // namespace veltrane::picture
