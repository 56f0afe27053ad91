// Turns an image read back from a keyboard into keys, layers, strings and the
// few settings the image carries.
#pragma once

#include <cstdint>

#include "eeprom/image_layout.h"
#include "model/definition.h"
#include "persist/header_image.h"

namespace veltrane::eeprom {

// The few settings an image carries, as the configuration header holds them.
struct ImageSettings {
  std::int32_t MaxScanRow = 0;
  std::uint32_t DebounceTime = 0;
  std::int32_t DefRepDelay = 0;
  std::int8_t ScrollWheelGain = 0;
  std::int32_t NumberOfStrings = 0;  // one more than the highest string number in use
};

// Expects keys cleared beforehand; restores what offsets 0x000..0xBFF hold and
// leaves the rest of the definition as it was; the image is not changed. For
// firmware 500..699 key modes are read back into the definition's bit order.
// Damaged string numbers and pointers skip their string; a copied string keeps
// at most kMaxStringStrokes strokes so its row stays terminated.
ImageSettings DecodeImage(const EepromImage& image, int firmwareVersion,
                          model::KeyboardDefinition& def);

// Puts decoded settings into the header, leaving its other fields as they were.
void StoreImageSettings(const ImageSettings& settings, persist::HeaderImage& header);

}  // namespace veltrane::eeprom
