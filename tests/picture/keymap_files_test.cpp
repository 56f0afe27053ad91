// SPDX-License-Identifier: MIT
// The picture as files: the format by the name, the layers by their names,
// a PDF page per layer, the PNG's size, and a long macro list kept whole.
#include <gtest/gtest.h>

#include "picture/keymap_layout.h"
#include "picture/keymap_picture.h"
#include "tests/picture/sample_definition.h"

namespace veltrane::picture {
namespace {

std::uint32_t BigEndian(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i)
    value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++count;
  return count;
}

TEST(KeymapFiles, TheNameChoosesTheFormatAndTheLayers) {
  EXPECT_EQ(FormatOfName("dir/Keys.PDF"), PictureFormat::Pdf);
  EXPECT_FALSE(FormatOfName("keys.txt"));
  EXPECT_FALSE(FormatOfName("out.png/keys"));
  EXPECT_EQ(LayersNamed("fn1+fn2"), std::vector<int>{3});
  EXPECT_EQ(LayersNamed("all"), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_FALSE(LayersNamed("Fn1"));
}

TEST(KeymapFiles, APdfHasAPagePerLayerAndAPngStacksThem) {
  const auto def = testing::SampleDefinition();
  const std::vector<Page> pages = KeymapPages(*def, std::vector<int>{0, 1, 2, 3}, "desk.DAT");
  const std::string pdf = RenderPages(pages, PictureFormat::Pdf);
  ASSERT_TRUE(pdf.starts_with("%PDF-"));
  EXPECT_EQ(Count(pdf, "/Type /Page\n") + Count(pdf, "/Type /Page "), 4u);

  const std::string png = RenderPages(std::span(pages).first(2), PictureFormat::Png);
  ASSERT_TRUE(png.starts_with("\x89PNG\r\n\x1a\n"));
  EXPECT_EQ(BigEndian(png, 16), 1191u);  // 595.3 points at two pixels each
  EXPECT_EQ(BigEndian(png, 20), 3368u);  // two pages of 841.9
}

TEST(KeymapFiles, ALongMacroListMakesThePageTallerInsteadOfCuttingIt) {
  auto def = testing::SampleDefinition();
  // Every key of the base layer names its own macro of three strokes.
  for (int k = 0; k < model::kKeyCount; ++k) {
    testing::SetMacro(*def, k / model::kColumns, k % model::kColumns, 0, k);
    for (int i = 0; i < 3; ++i)
      def->stringWorkBuffer[static_cast<std::size_t>(k)][static_cast<std::size_t>(i)] = {0x01, 0x06,
                                                                                         0x21, 0};
  }
  TextFit fit;
  const Page page = LayoutLayerPage(*def, 0, "big.DAT", fit);
  EXPECT_GT(page.height, kPageHeight);
  int macros = 0;
  for (const Group& g : page.groups) {
    macros += g.kind == "macro";
    for (const Text& t : g.texts) EXPECT_LT(t.y, page.height - 20) << g.id;
  }
  EXPECT_EQ(macros, 128);
}

}  // namespace
}  // namespace veltrane::picture
