// SPDX-License-Identifier: MIT
#include "picture/keymap_picture.h"

#include <cctype>
#include <cerrno>

#include "fileaccess/replace_file.h"
#include "picture/cairo_pages.h"
#include "picture/keymap_layout.h"
#include "picture/svg_writer.h"

namespace veltrane::picture {

std::optional<PictureFormat> FormatOfName(std::string_view path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos)
    return std::nullopt;
  std::string extension(path.substr(dot));
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == ".svg") return PictureFormat::Svg;
  if (extension == ".pdf") return PictureFormat::Pdf;
  if (extension == ".png") return PictureFormat::Png;
  return std::nullopt;
}

std::optional<std::vector<int>> LayersNamed(std::string_view name) {
  if (name == "all") return std::vector<int>{0, 1, 2, 3};
  for (std::size_t layer = 0; layer < kLayerNames.size(); ++layer)
    if (name == kLayerNames[layer]) return std::vector<int>{static_cast<int>(layer)};
  return std::nullopt;
}

std::vector<Page> KeymapPages(const model::KeyboardDefinition& def, std::span<const int> layers,
                              std::string_view name) {
  TextFit fit;
  std::vector<Page> pages;
  for (int layer : layers) pages.push_back(LayoutLayerPage(def, layer, name, fit));
  return pages;
}

std::string RenderPages(std::span<const Page> pages, PictureFormat format) {
  switch (format) {
    case PictureFormat::Pdf:
      return WritePdf(pages);
    case PictureFormat::Png:
      return WritePng(pages, kPngPixelsPerPoint);
    case PictureFormat::Svg:
      break;
  }
  return WriteSvg(pages);
}

fileaccess::Status WriteKeymapPicture(const std::string& path, const model::KeyboardDefinition& def,
                                      std::span<const int> layers, std::string_view name) {
  const std::vector<Page> pages = KeymapPages(def, layers, name);
  const std::string bytes = RenderPages(pages, FormatOfName(path).value_or(PictureFormat::Svg));
  if (bytes.empty()) return {false, path + ": the picture could not be drawn", ENOMEM};
  return fileaccess::ReplaceFile(path, bytes);
}

}  // namespace veltrane::picture
