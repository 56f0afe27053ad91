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
  if (ledSlot >= 0 && ledSlot < 4) {
    const std::array<std::int32_t, 4> leds = {settings.Led1, settings.Led2, settings.Led3,
                                              settings.Led4};
    dialog.led.Select(leds[ledSlot]);
  }
  return dialog;
}

void OnLedPicked(LedDialogModel& dialog, model::Settings& settings, int index) {
  std::int32_t* led = model::LedOfSlot(settings, dialog.ledSlot);
  if (led == nullptr || index < 0 || index >= static_cast<int>(dialog.led.items.size())) return;
  dialog.led.Select(index);
  *led = index;
}

void OnLedDialogClosed(LedDialogModel& dialog) {
  dialog.finished = true;
  dialog.repaintMainWindow = true;
}

}  // namespace veltrane::ui
