// SPDX-License-Identifier: MIT
#include "ui/dialogs/pointing_device_dialog_model.h"

#include <string>

#include "model/settings_schema.h"

namespace veltrane::ui {
namespace {

constexpr std::array<std::string_view, kPointingFieldCount> kLabels = {
    "iGain1N:", "iGain2N:", "iOffs1N:", "iOffs2N:", "iInvN:",  //
    "iGain1E:", "iGain2E:", "iOffs1E:", "iOffs2E:", "iInvE:",  //
    "iGain1S:", "iGain2S:", "iOffs1S:", "iOffs2S:", "iInvS:",  //
    "iGain1W:", "iGain2W:", "iOffs1W:", "iOffs2W:", "iInvW:"};

// Parameter index of row r (gain 1, gain 2, offset 1, offset 2, inverse) of direction d.
constexpr int ParamOf(int d, int r) {
  switch (r) {
    case 0:
      return 2 * d;
    case 1:
      return 2 * d + 1;
    case 2:
      return 8 + 2 * d;
    case 3:
      return 9 + 2 * d;
    default:
      return 16 + d;
  }
}

constexpr std::array<PointingField, kPointingFieldCount> BuildFields() {
  std::array<PointingField, kPointingFieldCount> fields{};
  for (int d = 0; d < 4; ++d) {
    const int labelX = (d % 2 == 0) ? 10 : 150;
    const int firstY = (d < 2) ? 10 : 130;
    for (int r = 0; r < 5; ++r) {
      const int i = d * 5 + r;
      const int y = firstY + 20 * r;
      fields[i] = {id::kFirstPointingField + i,
                   ParamOf(d, r),
                   kLabels[i],
                   kLabels[i].substr(0, kLabels[i].size() - 1),
                   {labelX, y, 80, 15},
                   {labelX + 70, y, 50, 15}};
    }
  }
  return fields;
}

constexpr std::array<PointingField, kPointingFieldCount> kFields = BuildFields();

constexpr std::array<Control, 2 + 2 * kPointingFieldCount> BuildControls() {
  std::array<Control, 2 + 2 * kPointingFieldCount> controls{};
  controls[0] = {ControlKind::DefaultButton, id::kOk, "OK", DialogUnitsRect(337, 7, 50, 14)};
  controls[1] = {ControlKind::PushButton, id::kCancel, "Cancel", DialogUnitsRect(337, 24, 50, 14)};
  for (int i = 0; i < kPointingFieldCount; ++i) {
    controls[2 + 2 * i] = {ControlKind::Static, id::kNone, kFields[i].label, kFields[i].labelRect};
    controls[3 + 2 * i] = {ControlKind::Edit, kFields[i].id, "", kFields[i].fieldRect};
  }
  return controls;
}

constexpr auto kControls = BuildControls();
constexpr DialogLayout kLayout = {"Pointing Device", DialogUnitsX(394), DialogUnitsY(197),
                                  kControls};

}  // namespace

const std::array<PointingField, kPointingFieldCount>& PointingFields() {
  return kFields;
}

const DialogLayout& PointingDeviceDialogLayout() {
  return kLayout;
}

EditField* PointingFieldById(PointingDeviceDialogModel& dialog, int id) {
  const int i = id - id::kFirstPointingField;
  if (i < 0 || i >= kPointingFieldCount) return nullptr;
  return &dialog.fields[i];
}

PointingDeviceDialogModel OpenPointingDeviceDialog(const PointDeviceParams& params) {
  PointingDeviceDialogModel dialog;
  for (int i = 0; i < kPointingFieldCount; ++i) {
    dialog.fields[i].text = std::to_string(params[kFields[i].param]);
  }
  return dialog;
}

void OnPointingDeviceOk(PointingDeviceDialogModel& dialog, PointDeviceParams& params) {
  PointDeviceParams typed = params;
  bool refused = false;
  for (int i = 0; i < kPointingFieldCount; ++i) {
    EditField& field = dialog.fields[i];
    const model::SettingEntry& e = model::SettingNamed(kFields[i].setting);
    const std::uint8_t stored = params[kFields[i].param];
    field.note = NumberRefusal(e, e.min, field.text, stored);
    if (field.note.empty()) {
      typed[kFields[i].param] = static_cast<std::uint8_t>(*ReadUnsigned(field.text));
    } else {
      field.text = std::to_string(stored);
      refused = true;
    }
  }
  if (refused) return;
  params = typed;
  dialog.finished = true;
}

void OnPointingDeviceCancel(PointingDeviceDialogModel& dialog) {
  dialog.finished = true;
}

}  // namespace veltrane::ui
