// SPDX-License-Identifier: MIT
#include "persist/header_settings.h"

#include <string>

#include "persist/config_file.h"

namespace veltrane::persist {
namespace {

using model::HeaderForm;
using model::SettingEntry;

// A text that fills its whole field, as a loaded file held it, stays whole;
// any other is cut to 31 bytes as the program writes its texts.
void SetHeaderText(HeaderImage& header, std::size_t offset, const std::string& text) {
  if (text.size() == header::TextFieldSize && header.Text(offset) == text) return;
  header.SetText(offset, text);
}

std::vector<std::size_t> UnusedBytes() {
  std::vector<bool> used(kHeaderSize, false);
  for (std::size_t i = 0; i < header::VersionMajor + 4; ++i) used[i] = true;
  for (const SettingEntry& e : model::SettingsSchema())
    for (std::size_t i = 0; i < e.HeaderWidth(); ++i) used[e.headerOffset + i] = true;
  std::vector<std::size_t> unused;
  for (std::size_t i = 0; i < kHeaderSize; ++i)
    if (!used[i]) unused.push_back(i);
  return unused;
}

}  // namespace

std::int64_t HeaderNumber(const HeaderImage& h, const SettingEntry& e) {
  switch (e.headerForm) {
    case HeaderForm::LowByte:
      return h.bytes[e.headerOffset];
    case HeaderForm::U32:
      return h.U32(e.headerOffset);
    case HeaderForm::I32:
      return h.I32(e.headerOffset);
    case HeaderForm::I8:
      return static_cast<std::int8_t>(h.bytes[e.headerOffset]);
    default:
      return 0;
  }
}

void SetHeaderNumber(HeaderImage& h, const SettingEntry& e, std::int64_t value) {
  switch (e.headerForm) {
    case HeaderForm::LowByte:
    case HeaderForm::U32:
    case HeaderForm::I32:
      h.SetU32(e.headerOffset, static_cast<std::uint32_t>(value));
      break;
    case HeaderForm::I8:
      h.bytes[e.headerOffset] = static_cast<std::uint8_t>(value);
      break;
    default:
      break;
  }
}

void FromHeader(const HeaderImage& h, model::Settings& s) {
  for (const SettingEntry& e : model::SettingsSchema()) {
    if (e.headerForm == HeaderForm::None) continue;
    if (e.IsText()) {
      s.*e.text = std::string(h.Text(e.headerOffset));
    } else {
      e.set(s, HeaderNumber(h, e));
    }
  }
}

model::Settings FromHeader(const HeaderImage& h) {
  model::Settings s;
  FromHeader(h, s);
  return s;
}

void ToHeader(const model::Settings& s, HeaderImage& header) {
  header.SetI32(header::VersionMinor, kWrittenVersionMinor);
  header.SetI32(header::VersionMajor, kWrittenVersionMajor);
  for (const SettingEntry& e : model::SettingsSchema()) {
    if (e.headerForm == HeaderForm::None) continue;
    if (e.IsText()) {
      SetHeaderText(header, e.headerOffset, s.*e.text);
    } else {
      SetHeaderNumber(header, e, e.get(s));
    }
  }
}

const std::vector<std::size_t>& ReservedHeaderBytes() {
  static const std::vector<std::size_t> unused = UnusedBytes();
  return unused;
}

}  // namespace veltrane::persist
