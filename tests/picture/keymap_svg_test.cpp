// SPDX-License-Identifier: MIT
// The picture read back from its SVG: what each key and macro says, which
// keys are grey, and that no text is wider than its key.
#include <gtest/gtest.h>

#include <array>

#include "picture/keymap_picture.h"
#include "tests/picture/sample_definition.h"
#include "tests/picture/svg_texts.h"

namespace veltrane::picture {
namespace {

using Texts = std::vector<std::string>;

std::string Svg(const model::KeyboardDefinition& def, std::vector<int> layers) {
  return RenderPages(KeymapPages(def, layers, "desk.DAT"), PictureFormat::Svg);
}

class KeymapSvgTest : public ::testing::Test {
 protected:
  std::unique_ptr<model::KeyboardDefinition> def = testing::SampleDefinition();
  testing::SvgDocument all{Svg(*def, {0, 1, 2, 3})};
};

TEST_F(KeymapSvgTest, EveryLayerHasItsPageAndEveryKeyItsPlace) {
  ASSERT_TRUE(all.WellFormed());
  EXPECT_EQ(all.Attributes("//*[local-name()='g'][@class='page']", "class").size(), 4u);
  for (const char* layer : {"base", "fn1", "fn2", "fn1+fn2"})
    EXPECT_EQ(all.Attributes("//*[@id='" + std::string(layer) + "-15-7']", "id").size(), 1u)
        << layer;
  EXPECT_EQ(all.TextsOf("base-title"), Texts({"Keymap of desk.DAT", "Base layer: no Fn key held"}));
  // One layer draws one page.
  const testing::SvgDocument fn1{Svg(*def, {1})};
  EXPECT_EQ(fn1.Attributes("//*[local-name()='g'][@class='page']", "class").size(), 1u);
}

TEST_F(KeymapSvgTest, KeysShowTheirLegendMeaningAndKindAndPagesTheirMacros) {
  EXPECT_EQ(all.TextsOf("base-0-0"), Texts({"Escape", "Esc"}));
  EXPECT_EQ(all.TextsOf("fn1-0-0"), Texts({"Escape", "F1"}));
  EXPECT_EQ(all.TextsOf("fn1-3-5"), Texts({"A", "A", "Shift"}));
  EXPECT_EQ(all.TextsOf("fn2-3-5"), Texts({"A", "Macro 2"}));
  EXPECT_EQ(all.TextsOf("base-6-1"), Texts({"<&\">", "Shift"}));  // escaped and read back
  EXPECT_EQ(all.TextsOf("base-9-7"), Texts({"Brighter", "Light+"}));
  EXPECT_EQ(all.TextsOf("base-12-1"), Texts({"Änd", "A"}));
  // Keys the keyboard does not get are grey.
  const auto kindOf = [&](const std::string& id) {
    return all.Attributes("//*[@id='" + id + "']", "class").at(0);
  };
  EXPECT_EQ(kindOf("base-0-0"), "key");
  EXPECT_EQ(kindOf("base-7-1"), "key unused");   // the key is not used
  EXPECT_EQ(kindOf("base-15-7"), "key unused");  // disabled, though it has a key
  const auto fill = [&](const std::string& id) {
    return all.Attributes("//*[@id='" + id + "']/*[local-name()='rect']", "fill").at(0);
  };
  EXPECT_NE(fill("base-7-1"), fill("base-0-0"));
  // Each page lists the macros its keys name.
  EXPECT_EQ(all.TextsOf("fn2-macro-2"), Texts({"Macro 2", "Shift+B", "E", "Ctrl+C"}));
  EXPECT_TRUE(all.TextsOf("base-macro-2").empty());  // on the fn2 page only
  EXPECT_TRUE(all.Attributes("//*[contains(@id, 'macro-9')]", "id").empty());  // named by no key
}

TEST_F(KeymapSvgTest, NoKeyTextIsWiderThanItsKey) {
  const auto texts = all.Texts("//*[starts-with(@class, 'key')]/*[local-name()='text']");
  const double keyWidth =
      std::stod(all.Attributes("//*[@id='base-0-0']/*[local-name()='rect']", "width").at(0));
  ASSERT_GT(texts.size(), 512u);
  for (const testing::SvgText& t : texts) EXPECT_LE(t.textLength, keyWidth - 3) << t.text;
  // The longest legend, 31 bytes of wide characters, is shortened.
  const std::string wide = all.TextsOf("base-12-0").at(0);
  EXPECT_TRUE(wide.ends_with("…")) << wide;
}

}  // namespace
}  // namespace veltrane::picture
