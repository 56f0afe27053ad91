// SPDX-License-Identifier: MIT
// The hexadecimal text dump of an image: each table under its own title.
#pragma once

#include <string>

#include "eeprom/image_layout.h"

namespace veltrane::eeprom {

// Always kTextDumpSize bytes: CR LF line ends, capital hex digits; the image
// from 0xC00 on is not dumped.
std::string FormatTextDump(const EepromImage& image);

}  // namespace veltrane::eeprom
