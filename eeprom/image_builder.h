// SPDX-License-Identifier: MIT
// Compiles the keyboard definition into the EEPROM image.
#pragma once

#include <string_view>

#include "eeprom/image_layout.h"
#include "model/definition.h"
#include "model/diagnostics.h"

namespace veltrane::eeprom {

struct BuildResult {
  int distinctMeanings = 0;  // distinct used layer meanings, also those that got no address
  bool fits = true;          // false when more meanings than one-byte addresses exist
  int invalidIbmKeys = 0;    // placed layers whose ibmkey is no IbmKeyTable row
};

// Fills the whole image from the definition and its settings, logging each
// step; texts longer than their fields are cut on a character boundary. The string store is copied
// as it stands: pack it first (model::FlattenStrings). When fits is false the image must not be
// used: meanings past the last address are left out.
BuildResult BuildImage(const model::KeyboardDefinition& def, std::string_view versionText,
                       int firmwareVersion, EepromImage& image, model::LogSink* log);

// Puts another serial number into a built image, as the build writes one: at
// most 31 characters, one 0x00, the rest of its 32 bytes 0xFF.
void StampSerialNumber(EepromImage& image, std::string_view serialNumber);

}  // namespace veltrane::eeprom
