// SPDX-License-Identifier: MIT
// A drawn page as a list of shapes in points (1/72 inch), origin top left:
// what the layout makes once and every output (SVG, PDF, PNG, a printer)
// draws as it is.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace veltrane::picture {

struct Color {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Color&, const Color&) = default;
};

struct Box {
  double x = 0, y = 0, width = 0, height = 0;
  Color fill;
  Color stroke;
  double strokeWidth = 0;  // 0: no outline
};

struct Line {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  Color color;
  double width = 1;
};

enum class Anchor { Start, Middle };

// One line of text on its baseline. `text` is valid UTF-8 that fits `width`,
// the advance the layout measured, so an output may stretch it to exactly that.
struct Text {
  double x = 0, y = 0;
  std::string text;
  double size = 10;
  bool bold = false;
  Color color;
  Anchor anchor = Anchor::Start;
  double width = 0;
};

// Shapes that belong together (a key, the macro list), drawn in order:
// boxes, then lines, then texts. `id` and `kind` name it in an SVG.
struct Group {
  std::string id;
  std::string kind;
  std::vector<Box> boxes;
  std::vector<Line> lines;
  std::vector<Text> texts;
};

struct Page {
  double width = 0, height = 0;
  std::string title;  // what the page shows, for a document's metadata
  std::vector<Group> groups;
};

}  // namespace veltrane::picture
