// SPDX-License-Identifier: MIT
#include "ui/dialogs/led_dialog_model.h"

#include <array>

#include "model/key_tables.h"

namespace veltrane::ui {
namespace {

constexpr std::array<Control, 4> kControls = {{
    {ControlKind::DefaultButton, id::kOk, "OK", DialogUnitsRect(156, 7, 50, 14)},
    {ControlKind::PushButton, id::kCancel, "Cancel", DialogUnitsRect(156, 24, 50, 14)},
    {ControlKind::Static, id::kNone, "Key LED:", DialogUnitsRect(14, 17, 32, 8)},
    {ControlKind::DropDownList, id::kLedList, "", {50, 50, 180, 300}},
}};

constexpr DialogLayout kLayout = {"Key LED settings", DialogUnitsX(213), DialogUnitsY(62),
                                  kControls};

}  // namespace

const DialogLayout& LedDialogLayout() {
  return kLayout;
}

LedDialogModel OpenLedDialog(const model::Settings& settings, int ledSlot) {
  LedDialogModel dialog;
  dialog.ledSlot = ledSlot;
  dialog.led.FillFrom(model::LedNames);
  if (ledSlot >= 0 && ledSlot < model::kLedCount)
    dialog.led.Select(settings.Leds[static_cast<std::size_t>(ledSlot)]);
  return dialog;
}

void OnLedPicked(LedDialogModel& dialog, model::Settings& settings, int index) {
  if (dialog.ledSlot < 0 || dialog.ledSlot >= model::kLedCount || index < 0 ||
      index >= static_cast<int>(dialog.led.items.size()))
    return;
  dialog.led.Select(index);
  settings.Leds[static_cast<std::size_t>(dialog.ledSlot)] = index;
}

void OnLedDialogClosed(LedDialogModel& dialog) {
  dialog.finished = true;
  dialog.repaintMainWindow = true;
}

}  // namespace veltrane::ui
