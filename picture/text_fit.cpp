// SPDX-License-Identifier: MIT
#include "picture/text_fit.h"

#include <vector>

#include "picture/pango_text.h"

#if defined(__SANITIZE_ADDRESS__)
#define VELTRANE_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELTRANE_LEAK_CHECKED 1
#endif
#endif

#ifdef VELTRANE_LEAK_CHECKED
// Fontconfig keeps what it has read for the whole process, behind pointers it
// encodes as offsets, so the leak checker cannot see them held. Every program
// that measures text links this file.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
#endif

namespace veltrane::picture {

void UseExactMetrics(PangoContext* context) {
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  pango_cairo_context_set_font_options(context, options);
  cairo_font_options_destroy(options);
  pango_context_set_round_glyph_positions(context, FALSE);
}

void SetLayoutFont(PangoLayout* layout, double size, bool bold) {
  PangoFontDescription* font = pango_font_description_new();
  pango_font_description_set_family_static(font, kFontFamily);
  pango_font_description_set_absolute_size(font, size * PANGO_SCALE);
  pango_font_description_set_weight(font, bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_layout_set_font_description(layout, font);
  pango_font_description_free(font);
}

struct TextFit::Pango {
  PangoContext* context = nullptr;
  PangoLayout* layout = nullptr;
  Pango() {
    context = pango_font_map_create_context(pango_cairo_font_map_get_default());
    UseExactMetrics(context);
    layout = pango_layout_new(context);
  }
  ~Pango() {
    g_object_unref(layout);
    g_object_unref(context);
  }
  void Set(std::string_view text, double size, bool bold) {
    SetLayoutFont(layout, size, bold);
    pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
  }
  double Width() const {
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    return static_cast<double>(logical.width) / PANGO_SCALE;
  }
};

TextFit::TextFit() : pango_(std::make_unique<Pango>()) {}
TextFit::~TextFit() = default;

double TextFit::Width(std::string_view text, double size, bool bold) {
  std::string key(text);
  key += bold ? '\1' : '\0';
  key += std::to_string(size);
  if (const auto found = widths_.find(key); found != widths_.end()) return found->second;
  pango_->Set(text, size, bold);
  const double width = pango_->Width();
  widths_.emplace(std::move(key), width);
  return width;
}

std::string TextFit::Shortened(std::string_view text, double size, bool bold, double maxWidth) {
  if (Width(text, size, bold) <= maxWidth) return std::string(text);
  // Byte offsets where a cursor may stand, after the first character.
  pango_->Set(text, size, bold);
  int count = 0;
  const PangoLogAttr* attrs = pango_layout_get_log_attrs_readonly(pango_->layout, &count);
  std::vector<std::size_t> cuts;
  const char* start = text.data();
  const char* at = start;
  for (int i = 0; i < count && at < start + text.size(); ++i) {
    if (i > 0 && attrs[i].is_cursor_position) cuts.push_back(static_cast<std::size_t>(at - start));
    at = g_utf8_next_char(at);
  }
  const auto candidate = [&](std::size_t cut) {
    std::string_view kept = text.substr(0, cut);
    while (!kept.empty() && kept.back() == ' ') kept.remove_suffix(1);
    return std::string(kept) + kEllipsis;
  };
  // The longest start that fits; widths grow with the start.
  std::size_t low = 0, high = cuts.size();
  while (low < high) {
    const std::size_t middle = (low + high) / 2;
    if (Width(candidate(cuts[middle]), size, bold) <= maxWidth)
      low = middle + 1;
    else
      high = middle;
  }
  return low == 0 ? std::string(kEllipsis) : candidate(cuts[low - 1]);
}

}  // namespace veltrane::picture
