// SPDX-License-Identifier: MIT
// Turns an image read back from a keyboard into keys, layers, strings and the
// settings the image carries.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "eeprom/image_layout.h"
#include "model/definition.h"
#include "model/settings_schema.h"

namespace veltrane::eeprom {

// The settings after a decode: those the image carries over those the
// definition had, unchecked, and which settings the image carried. A setting
// whose bytes are erased memory (0xFF where no value of its range reads so,
// a text whose first byte is 0xFF, any LED mask byte 0xFF) is not carried:
// it keeps the definition's value.
struct ImageRead {
  model::Settings settings;
  model::SettingMask read;
};

// Led1..Led4 from the LED mask bytes 0x606..0x60A: LED n shows the lowest
// function f (1..5) whose mask equals LED n's output bit for the firmware, or
// none (0) when no mask does or the LED has no output bit. Absent when any
// mask byte is erased.
std::optional<std::array<std::int32_t, model::kLedCount>> LedsFromMasks(const EepromImage& image,
                                                                        int firmwareVersion);

// Expects keys cleared beforehand; restores what offsets 0x000..0xBFF hold and
// leaves the rest of the definition as it was (its settings too: they come
// back in the result); the image is not changed. For firmware 500..699 key
// modes are read back into the definition's bit order. Every string the
// pointer table leads to is copied into its row up to its terminator, whether
// a key refers to it or not; the text fields at 0x610 and 0x630 come back as
// the file name and serial number. Damaged pointers skip their string; a
// copied string keeps at most kMaxStringStrokes strokes so its row stays
// terminated. An image the builder made decodes into a definition that builds
// into the same 3072 bytes.
ImageRead DecodeImage(const EepromImage& image, int firmwareVersion,
                      model::KeyboardDefinition& def);

}  // namespace veltrane::eeprom
