// SPDX-License-Identifier: MIT
#include "picture/keymap_layout.h"

#include <algorithm>
#include <set>
#include <string>

#include "model/key_tables.h"
#include "picture/key_meaning.h"
#include "picture/readable_text.h"

namespace veltrane::picture {
namespace {

constexpr double kMargin = 36;
constexpr double kGridTop = 84;
constexpr double kLabelColumn = 34;  // the row numbers
constexpr double kLabelRow = 20;     // the column numbers
constexpr double kCellWidth = (kPageWidth - 2 * kMargin - kLabelColumn) / model::kColumns;
constexpr double kCellHeight = 33;
constexpr double kCellInset = 1.5;
constexpr double kTextInset = 3;
constexpr double kLegendSize = 6.5;
constexpr double kMeaningSize = 9.5;
constexpr double kStrokeSize = 7.5;

constexpr Color kBlack{0, 0, 0};
constexpr Color kDark{0x44, 0x44, 0x44};
constexpr Color kOutline{0x80, 0x80, 0x80};
constexpr Color kGreyFill{0xe4, 0xe4, 0xe4};
constexpr Color kGreyText{0x9c, 0x9c, 0x9c};

struct KindStyle {
  MeaningKind kind;
  const char* name;  // in the colour key
  Color fill;
};
constexpr std::array<KindStyle, 7> kKindStyles = {{
    {MeaningKind::Key, "Key", {0xff, 0xff, 0xff}},
    {MeaningKind::Modifier, "Modifier", {0xd6, 0xe6, 0xf8}},
    {MeaningKind::Fn, "Fn key", {0xd4, 0xf0, 0xd4}},
    {MeaningKind::Macro, "Macro", {0xff, 0xef, 0xb8}},
    {MeaningKind::Media, "Media, system", {0xe8, 0xd8, 0xf4}},
    {MeaningKind::Mouse, "Mouse", {0xcf, 0xee, 0xec}},
    {MeaningKind::Light, "Light", {0xff, 0xdc, 0xbc}},
}};

Color FillOf(MeaningKind kind) {
  for (const KindStyle& style : kKindStyles)
    if (style.kind == kind) return style.fill;
  return kGreyFill;
}

constexpr std::array<const char*, model::kLayerCount> kLayerCaptions = {
    "Base layer: no Fn key held", "Fn1 layer: Fn1 held", "Fn2 layer: Fn2 held",
    "Fn1+Fn2 layer: Fn1 and Fn2 held"};

// A text fitted to `maxWidth`.
Text Fitted(TextFit& fit, double x, double y, std::string_view text, double size, bool bold,
            Color color, Anchor anchor, double maxWidth) {
  std::string shown = fit.Shortened(text, size, bold, maxWidth);
  const double width = fit.Width(shown, size, bold);
  return Text{x, y, std::move(shown), size, bold, color, anchor, width};
}

// Ids are unique in a document of several pages: each begins with its layer's name.
std::string IdOf(int layer, std::string_view what) {
  return std::string(kLayerNames[static_cast<std::size_t>(layer)]) + "-" + std::string(what);
}

Group Heading(int layer, std::string_view name, TextFit& fit) {
  Group g{IdOf(layer, "title"), "title", {}, {}, {}};
  const double width = kPageWidth - 2 * kMargin;
  g.texts.push_back(Fitted(fit, kMargin, kMargin + 14, "Keymap of " + ReadableText(name), 14, true,
                           kBlack, Anchor::Start, width));
  g.texts.push_back(Fitted(fit, kMargin, kMargin + 32,
                           kLayerCaptions[static_cast<std::size_t>(layer)], 10.5, false, kDark,
                           Anchor::Start, width));
  return g;
}

// Row and column numbers, and the corner split by a diagonal: "Sns" above it, "Drv" below.
Group Labels(int layer, TextFit& fit) {
  Group g{IdOf(layer, "labels"), "labels", {}, {}, {}};
  const double left = kMargin, top = kGridTop;
  const double gridBottom = top + kLabelRow + model::kRows * kCellHeight;
  const double gridRight = left + kLabelColumn + model::kColumns * kCellWidth;
  g.lines.push_back({left, top, left + kLabelColumn, top + kLabelRow, kBlack, 1.2});
  g.lines.push_back({left, top + kLabelRow, gridRight, top + kLabelRow, kBlack, 1.2});
  g.lines.push_back({left + kLabelColumn, top, left + kLabelColumn, gridBottom, kBlack, 1.2});
  g.texts.push_back(Fitted(fit, left + 17, top + 8, "Sns", 7, true, kDark, Anchor::Start, 17));
  g.texts.push_back(Fitted(fit, left + 1, top + 18, "Drv", 7, true, kDark, Anchor::Start, 17));
  for (int column = 0; column < model::kColumns; ++column) {
    const double x = left + kLabelColumn + (column + 0.5) * kCellWidth;
    g.texts.push_back(Fitted(fit, x, top + 14, std::to_string(column), 9, true, kBlack,
                             Anchor::Middle, kCellWidth));
  }
  for (int row = 0; row < model::kRows; ++row) {
    const double y = top + kLabelRow + row * kCellHeight + kCellHeight / 2 + 3.5;
    g.texts.push_back(Fitted(fit, left + kLabelColumn / 2, y, std::to_string(row), 9, true, kBlack,
                             Anchor::Middle, kLabelColumn));
  }
  return g;
}

Group KeyCell(const model::KeyboardDefinition& def, int layer, int row, int column, TextFit& fit) {
  const model::KeyDefinition& key =
      def.keys[static_cast<std::size_t>(model::KeyIndex(row, column))];
  const Meaning meaning = LayerMeaning(key.layers[static_cast<std::size_t>(layer)]);
  const bool active = IsActive(key, layer);
  const double x = kMargin + kLabelColumn + column * kCellWidth;
  const double y = kGridTop + kLabelRow + row * kCellHeight;
  Group g{IdOf(layer, std::to_string(row) + "-" + std::to_string(column)),
          active ? "key" : "key unused",
          {},
          {},
          {}};
  g.boxes.push_back({x + kCellInset, y + kCellInset, kCellWidth - 2 * kCellInset,
                     kCellHeight - 2 * kCellInset, active ? FillOf(meaning.kind) : kGreyFill,
                     kOutline, 0.6});
  const double middle = x + kCellWidth / 2;
  const double room = kCellWidth - 2 * kTextInset;
  g.texts.push_back(Fitted(fit, middle, y + 9.5, ReadableText(model::FieldText(key.legend)),
                           kLegendSize, false, active ? kDark : kGreyText, Anchor::Middle, room));
  // The meaning in the middle; the modifiers it is sent with, if any, under it.
  const double meaningLine = meaning.modes.empty() ? y + 23.5 : y + 20.5;
  if (!meaning.words.empty())
    g.texts.push_back(Fitted(fit, middle, meaningLine, meaning.words, kMeaningSize, true,
                             active ? kBlack : kGreyText, Anchor::Middle, room));
  if (!meaning.modes.empty())
    g.texts.push_back(Fitted(fit, middle, y + 29, meaning.modes, kLegendSize, false,
                             active ? kDark : kGreyText, Anchor::Middle, room));
  return g;
}

// The colour of each kind of key, in one row under the grid.
Group ColourKey(int layer, double y, TextFit& fit) {
  Group g{IdOf(layer, "colours"), "colours", {}, {}, {}};
  double x = kMargin;
  const auto entry = [&](const char* name, Color fill) {
    g.boxes.push_back({x, y - 7.5, 10, 10, fill, kOutline, 0.6});
    const double width = fit.Width(name, 7.5, false);
    g.texts.push_back({x + 13, y, name, 7.5, false, kDark, Anchor::Start, width});
    x += 13 + width + 12;
  };
  for (const KindStyle& style : kKindStyles) entry(style.name, style.fill);
  entry("Not used", kGreyFill);
  return g;
}

// The macros the page's keys name, in number order.
std::set<int> MacrosOnLayer(const model::KeyboardDefinition& def, int layer) {
  std::set<int> macros;
  for (const model::KeyDefinition& key : def.keys) {
    const model::KeyLayer& l = key.layers[static_cast<std::size_t>(layer)];
    if ((l.keytype & 0x3F) == model::STRING_KEY && l.ibmkey >= 0 && l.ibmkey < model::kStringCount)
      macros.insert(l.ibmkey);
  }
  return macros;
}

// One macro: its name, then each stroke as a key cap, wrapped within the page; `y` moves on.
Group MacroEntry(const model::KeyboardDefinition& def, int layer, int n, double& y, TextFit& fit) {
  Group g{IdOf(layer, "macro-" + std::to_string(n)), "macro", {}, {}, {}};
  const std::string name = "Macro " + std::to_string(n);
  g.texts.push_back({kMargin, y, name, 8, true, kBlack, Anchor::Start, fit.Width(name, 8, true)});
  const double start = kMargin + 52, right = kPageWidth - kMargin;
  double x = start;
  const model::StringRow& strokes = def.stringWorkBuffer[static_cast<std::size_t>(n)];
  const int length = model::StringLength(strokes);
  if (length == 0)
    g.texts.push_back({x, y, "(no strokes)", 8, false, kGreyText, Anchor::Start,
                       fit.Width("(no strokes)", 8, false)});
  for (int i = 0; i < length; ++i) {
    const Text cap = Fitted(fit, 0, 0, StrokeName(strokes[static_cast<std::size_t>(i)]),
                            kStrokeSize, false, kBlack, Anchor::Middle, right - start - 6);
    const double width = cap.width + 6;
    if (x + width > right && x > start) x = start, y += 15;
    g.boxes.push_back({x, y - 9, width, 12, {0xf6, 0xf6, 0xf6}, kOutline, 0.5});
    Text placed = cap;
    placed.x = x + width / 2;
    placed.y = y;
    g.texts.push_back(std::move(placed));
    x += width + 3;
  }
  y += 17;
  return g;
}

}  // namespace

Page LayoutLayerPage(const model::KeyboardDefinition& def, int layer, std::string_view name,
                     TextFit& fit) {
  Page page{kPageWidth, kPageHeight, "Keymap of " + ReadableText(name), {}};
  page.groups.push_back(Heading(layer, name, fit));
  page.groups.push_back(Labels(layer, fit));
  for (int row = 0; row < model::kRows; ++row)
    for (int column = 0; column < model::kColumns; ++column)
      page.groups.push_back(KeyCell(def, layer, row, column, fit));
  double y = kGridTop + kLabelRow + model::kRows * kCellHeight + 20;
  page.groups.push_back(ColourKey(layer, y, fit));
  const std::set<int> macros = MacrosOnLayer(def, layer);
  y += 26;
  if (!macros.empty()) {
    Group heading{IdOf(layer, "macros"), "macros", {}, {}, {}};
    heading.texts.push_back(
        {kMargin, y, "Macros", 10, true, kBlack, Anchor::Start, fit.Width("Macros", 10, true)});
    page.groups.push_back(std::move(heading));
    y += 17;
  }
  for (int n : macros) page.groups.push_back(MacroEntry(def, layer, n, y, fit));
  page.height = std::max(kPageHeight, y + kMargin);
  return page;
}

}  // namespace veltrane::picture
