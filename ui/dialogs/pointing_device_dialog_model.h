// SPDX-License-Identifier: MIT
// The "Pointing Device" dialog: the twenty tuning values of the pointing
// device, in four blocks of five fields (N, E, S, W).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "model/definition.h"
#include "ui/controls/controls.h"
#include "ui/controls/dialog_layout.h"

namespace veltrane::ui {

inline constexpr int kPointingFieldCount = model::kPointDeviceParamCount;

using PointDeviceParams = std::array<std::uint8_t, model::kPointDeviceParamCount>;

// One label and field pair; fields in id order 35167..35186 (N, E, S, W, each
// gain 1, gain 2, offset 1, offset 2, inverse).
struct PointingField {
  int id = 0;
  int param = 0;  // index into the PointDeviceParams
  std::string_view label;
  std::string_view setting;  // the value's name in the settings schema
  Rect labelRect;
  Rect fieldRect;
};

const std::array<PointingField, kPointingFieldCount>& PointingFields();

// Title, "OK", "Cancel" and the 40 labels and fields.
const DialogLayout& PointingDeviceDialogLayout();

struct PointingDeviceDialogModel {
  std::array<EditField, kPointingFieldCount> fields;  // in the order of PointingFields()
  bool finished = false;
};

// Field of a control id; nullptr for other ids.
EditField* PointingFieldById(PointingDeviceDialogModel& dialog, int id);

// The fields showing the current values as unsigned decimals.
PointingDeviceDialogModel OpenPointingDeviceDialog(const PointDeviceParams& params);

// "OK": when every field holds a whole number its value can hold (0..255),
// they are stored and the dialog is finished. Otherwise nothing is stored and
// the dialog stays open: each refused field shows its stored value again and
// its note says why, as the main window's fields refuse.
void OnPointingDeviceOk(PointingDeviceDialogModel& dialog, PointDeviceParams& params);
// "Cancel": closes without storing.
void OnPointingDeviceCancel(PointingDeviceDialogModel& dialog);

}  // namespace veltrane::ui
