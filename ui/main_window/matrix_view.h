// SPDX-License-Identifier: MIT
// What the matrix and LED buttons show: the picture rule, the tooltips and
// the accessible names.
#pragma once

#include <cstdint>
#include <string>

#include "model/definition.h"
#include "ui/controls/key_picture.h"

namespace veltrane::ui {

// The picture of one position: the question mark while it is open in the Key
// Settings dialog, else its state, else the whole key type byte of layer [0,0].
KeyPicture ChooseKeyPicture(const model::KeyDefinition& key, bool editing);

// Grey bulb for "No LED" (0), yellow bulb for any other value.
KeyPicture LedPicture(std::int32_t led);

// The key's legend and its layer [0,0] meaning, e.g. "Esc — layer [0,0]: Esc (NORMAL_KEY)".
std::string KeyTooltip(const model::KeyDefinition& key);

// "Row 3, column 5: Str".
std::string KeyAccessibleName(int row, int column, KeyPicture picture);

}  // namespace veltrane::ui
