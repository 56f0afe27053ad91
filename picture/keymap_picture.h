// SPDX-License-Identifier: MIT
// The keymap picture of a definition: one page per layer chosen, as an SVG,
// PDF or PNG file. The layout is made once (picture/keymap_layout.h) and each
// format draws it as it is.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fileaccess/status.h"
#include "model/definition.h"
#include "picture/page.h"

namespace veltrane::picture {

enum class PictureFormat { Svg, Pdf, Png };

// How the formats are named to a user who chose another.
inline constexpr std::string_view kPictureFormatNames = ".svg, .pdf or .png";
// The PNG's pixels per point: 144 pixels per inch.
inline constexpr double kPngPixelsPerPoint = 2;

// The format a file name's extension asks for, in any letter case; nothing for any other.
std::optional<PictureFormat> FormatOfName(std::string_view path);

// The layers (0..3) a name chooses: "base", "fn1", "fn2" or "fn1+fn2" one,
// "all" the four; nothing for any other name.
std::optional<std::vector<int>> LayersNamed(std::string_view name);

// The pages of `layers` of `def` (its macros in the string work buffer),
// headed by `name`, the configuration's file name.
std::vector<Page> KeymapPages(const model::KeyboardDefinition& def, std::span<const int> layers,
                              std::string_view name);

// The pages in a format: PDF a page each, SVG and PNG stacked top to bottom;
// empty when cairo could not draw them.
std::string RenderPages(std::span<const Page> pages, PictureFormat format);

// Writes the picture to `path` in the format its name asks for (SVG unless
// it names another), replacing the file only once all of it is written.
fileaccess::Status WriteKeymapPicture(const std::string& path, const model::KeyboardDefinition& def,
                                      std::span<const int> layers, std::string_view name);

}  // namespace veltrane::picture
