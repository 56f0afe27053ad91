// SPDX-License-Identifier: MIT
// Text measured as every output draws it: Pango over cairo, in the family
// kFontFamily (fontconfig supplies other fonts for characters it lacks),
// with unhinted metrics, so that a width holds at any scale.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace veltrane::picture {

inline constexpr const char* kFontFamily = "DejaVu Sans";
inline constexpr const char* kEllipsis = "\u2026";

class TextFit {
 public:
  TextFit();
  ~TextFit();
  TextFit(const TextFit&) = delete;
  TextFit& operator=(const TextFit&) = delete;

  // The advance of `text` (valid UTF-8) at `size` points.
  double Width(std::string_view text, double size, bool bold);
  // The text when it fits `maxWidth`; else its longest start (whole
  // characters, as a cursor moves over them; trailing blanks dropped) with
  // "…" after it that fits; "…" alone when nothing more does.
  std::string Shortened(std::string_view text, double size, bool bold, double maxWidth);

 private:
  struct Pango;
  std::unique_ptr<Pango> pango_;
  std::unordered_map<std::string, double> widths_;
};

}  // namespace veltrane::picture
