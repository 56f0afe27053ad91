// The settings a configuration header carries, read out as a load applies them
// (the record-held ones from their low bytes where the record is narrower) and
// written back by a save.
#pragma once

#include "model/definition.h"
#include "model/shown_settings.h"
#include "persist/header_image.h"

namespace veltrane::persist {

// The record-held settings as a load copies them from the header.
model::GlobalSettings SettingsFromHeader(const HeaderImage& header);

// The window-held settings and texts as the header holds them, unchecked.
model::ShownSettings ShownFromHeader(const HeaderImage& header);

// Fills the header's settings, versions and texts as a save does; the reserved
// bytes are left as they are.
void FillHeader(const model::KeyboardDefinition& def, const model::ShownSettings& shown,
                HeaderImage& header);

}  // namespace veltrane::persist
