// SPDX-License-Identifier: MIT
#include "persist/header_image.h"

#include <algorithm>

#include "model/text_field.h"

namespace veltrane::persist {

std::uint32_t HeaderImage::U32(std::size_t offset) const {
  return static_cast<std::uint32_t>(bytes[offset]) |
         static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[offset + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

void HeaderImage::SetU32(std::size_t offset, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i)
    bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::string_view HeaderImage::Text(std::size_t offset) const {
  const char* begin = reinterpret_cast<const char*>(bytes.data() + offset);
  const char* end = std::find(begin, begin + header::TextFieldSize, '\0');
  return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

void HeaderImage::SetText(std::size_t offset, std::string_view text) {
  const std::size_t n = model::Utf8CutLength(text, header::TextFieldSize - 1);
  std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), header::TextFieldSize, 0);
  std::copy_n(text.begin(), n, bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

void HeaderImage::SetWholeText(std::size_t offset, std::string_view text) {
  const std::size_t n = std::min(text.size(), header::TextFieldSize);
  std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), header::TextFieldSize, 0);
  std::copy_n(text.begin(), n, bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

}  // namespace veltrane::persist
