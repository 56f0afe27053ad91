// SPDX-License-Identifier: MIT
// The one conversion between the settings record and a configuration file's
// header, used by every load, save, import and test: a loop over the
// settings the schema places in the header.
#pragma once

#include <cstdint>
#include <vector>

#include "model/settings_schema.h"
#include "persist/header_image.h"

namespace veltrane::persist {

// The settings as the header holds them, unchecked, into `settings`: flags,
// enable bits and beep length from the low bytes of their 4-byte fields, the
// texts up to their first NUL. Settings no header holds keep their values.
void FromHeader(const HeaderImage& header, model::Settings& settings);
// The same over the defaults.
model::Settings FromHeader(const HeaderImage& header);

// Writes the versions a save writes, every setting and the two texts (cut to
// 31 bytes on a character boundary, but for a text of 32 that the header holds
// already: a loaded file's text filling its field stays whole) into the
// header; its reserved bytes are left as they are.
void ToHeader(const model::Settings& settings, HeaderImage& header);

// A number setting's value as the header holds it, and its store there.
std::int64_t HeaderNumber(const HeaderImage& header, const model::SettingEntry& entry);
void SetHeaderNumber(HeaderImage& header, const model::SettingEntry& entry, std::int64_t value);

// The header bytes after the versions that no setting uses, in order
// (8..11, 48..55 and 145..147).
const std::vector<std::size_t>& ReservedHeaderBytes();

}  // namespace veltrane::persist
