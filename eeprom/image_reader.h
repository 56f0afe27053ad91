// SPDX-License-Identifier: MIT
// Turns an image read back from a keyboard into keys, layers, strings and the
// few settings the image carries.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "eeprom/image_layout.h"
#include "model/definition.h"

namespace veltrane::eeprom {

// The settings an image carries. The optional ones are absent when their
// bytes are erased (0xFF): the settings they would replace keep their values.
struct ImageSettings {
  std::int32_t MaxScanRow = 0;
  std::uint32_t DebounceTime = 0;
  std::int32_t DefRepDelay = 0;
  std::int8_t ScrollWheelGain = 0;
  // One more than the string number of the string key at the highest address below 128.
  std::int32_t NumberOfStrings = 0;
  std::optional<std::uint8_t> GlobalRepeatDisable;
  std::optional<std::uint8_t> AnyKeyRelease;
  std::optional<std::uint8_t> DefRepRate;
  std::optional<std::uint8_t> PrefixMakeBreak;
  std::optional<std::uint8_t> PointDevice;
  std::optional<std::uint8_t> EnableBits;
  std::optional<std::uint8_t> BeepLength;
  std::optional<std::array<std::int32_t, 4>> Leds;  // Led1..Led4
  std::optional<std::string> ConfigFileName;        // the name of the file the image was built from
  std::optional<std::string> SerialNumber;
};

// Led1..Led4 from the LED mask bytes 0x606..0x60A: LED n shows the lowest
// function f (1..5) whose mask equals LED n's output bit for the firmware, or
// none (0) when no mask does or the LED has no output bit. Absent when any
// mask byte is erased.
std::optional<std::array<std::int32_t, 4>> LedsFromMasks(const EepromImage& image,
                                                         int firmwareVersion);

// Expects keys cleared beforehand; restores what offsets 0x000..0xBFF hold and
// leaves the rest of the definition as it was; the image is not changed. For
// firmware 500..699 key modes are read back into the definition's bit order.
// Every string the pointer table leads to is copied into its row up to its
// terminator, whether a key refers to it or not; the text fields at 0x610
// and 0x630 come back as the file name and serial number. Damaged pointers
// skip their string; a copied string keeps at most kMaxStringStrokes strokes
// so its row stays terminated. An image the builder made decodes into a
// definition that builds into the same 3072 bytes.
ImageSettings DecodeImage(const EepromImage& image, int firmwareVersion,
                          model::KeyboardDefinition& def);

// Puts the settings an image carried into the definition's settings, leaving
// the others (and those whose bytes were erased) as they were.
void ApplyImageSettings(const ImageSettings& read, model::Settings& settings);

}  // namespace veltrane::eeprom
