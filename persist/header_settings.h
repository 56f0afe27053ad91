// SPDX-License-Identifier: MIT
// The one conversion between the settings record and a configuration file's
// header, used by every load, save, import and test.
#pragma once

#include "model/settings.h"
#include "persist/header_image.h"

namespace veltrane::persist {

// The settings as the header holds them, unchecked: the record's flags, enable
// bits and beep length from the low bytes of their 4-byte fields, the texts up
// to their first NUL.
model::Settings FromHeader(const HeaderImage& header);

// Writes the versions a save writes, every setting and the two texts (cut to
// 31 bytes on a character boundary, but for a text of 32 that the header holds
// already: a loaded file's text filling its field stays whole) into the
// header; its reserved bytes are left as they are.
void ToHeader(const model::Settings& settings, HeaderImage& header);

}  // namespace veltrane::persist
