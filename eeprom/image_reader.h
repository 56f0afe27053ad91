// Turns an image read back from a keyboard into keys, layers, strings and the
// few settings the image carries.
#pragma once

#include "eeprom/image_layout.h"
#include "model/definition.h"
#include "persist/header_image.h"

namespace veltrane::eeprom {

// Expects keys cleared beforehand; restores what offsets 0x000..0xBFF hold and
// leaves the rest of the definition and the header as they were. For firmware
// 500..699 the image's key mode table is put back into the definition's bit
// order in place. Damaged string numbers and pointers skip their string; a
// copied string keeps at most kMaxStringStrokes strokes so its row stays
// terminated. The caller applies the header to the live settings afterwards.
void DecodeImage(EepromImage& image, int firmwareVersion, model::KeyboardDefinition& def,
                 persist::HeaderImage& header);

}  // namespace veltrane::eeprom
