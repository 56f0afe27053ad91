// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <set>

#include "ui/dialogs/about_dialog_model.h"
#include "ui/dialogs/led_dialog_model.h"
#include "ui/dialogs/pointing_device_dialog_model.h"

namespace veltrane::ui {
namespace {

TEST(LedDialog, PickIsStoredAtOnceAndCancelKeepsIt) {
  model::Settings settings;
  settings.Leds[2] = 5;
  LedDialogModel dialog = OpenLedDialog(settings, 2);
  EXPECT_EQ(dialog.led.items.size(), 6u);
  EXPECT_EQ(dialog.led.selection, 5);
  OnLedPicked(dialog, settings, 3);
  EXPECT_EQ(dialog.led.items[3], "Num Lock LED");
  EXPECT_EQ(settings.Leds[2], 3);
  OnLedDialogClosed(dialog);  // "Cancel"
  EXPECT_TRUE(dialog.finished && dialog.repaintMainWindow);
  EXPECT_EQ(settings.Leds[2], 3);
  EXPECT_EQ(settings.Leds[0] + settings.Leds[1] + settings.Leds[3], 0);
}

TEST(LedDialog, ValuesAndSlotsOutsideTheListAreHarmless) {
  model::Settings settings;
  settings.Leds[0] = 9;
  settings.Leds[1] = -1;
  EXPECT_EQ(OpenLedDialog(settings, 1).led.selection, -1);
  LedDialogModel dialog = OpenLedDialog(settings, 0);
  EXPECT_EQ(dialog.led.selection, -1);
  OnLedPicked(dialog, settings, 6);
  OnLedPicked(dialog, settings, -1);
  EXPECT_EQ(settings.Leds[0], 9);
  LedDialogModel stray = OpenLedDialog(settings, 4);
  OnLedPicked(stray, settings, 2);
  EXPECT_EQ(stray.led.selection, -1);
  EXPECT_EQ(settings.Leds[3], 0);
}

TEST(PointingDeviceDialog, OkRefusesWhatAValueCannotHoldAndStoresOnlyAWholeDialog) {
  PointDeviceParams params = model::kPointDeviceStartValues;
  PointingDeviceDialogModel dialog = OpenPointingDeviceDialog(params);
  // Each was once stored cut to its low byte (99999 as 159) or as 0 without a word.
  const std::pair<int, std::string> typed[] = {{35167, "99999"}, {35168, "-5"},    {35169, "+3"},
                                               {35170, "0x20"},  {35171, "1.5e3"}, {35186, ""}};
  for (const auto& [id, text] : typed) PointingFieldById(dialog, id)->text = text;
  PointingFieldById(dialog, 35172)->text = " 7";
  PointingDeviceDialogModel cancelled = dialog;
  OnPointingDeviceCancel(cancelled);
  EXPECT_EQ(params, model::kPointDeviceStartValues);
  OnPointingDeviceOk(dialog, params);
  EXPECT_FALSE(dialog.finished);
  EXPECT_EQ(params, model::kPointDeviceStartValues);
  EXPECT_EQ(PointingFieldById(dialog, 35167)->text, "13");  // the stored value again
  EXPECT_EQ(PointingFieldById(dialog, 35167)->note, "99999 is outside 0..255: iGain1N stays 13");
  EXPECT_EQ(PointingFieldById(dialog, 35169)->note,
            "\"+3\" is not a number 0..255: iOffs1N stays 0");
  EXPECT_EQ(PointingFieldById(dialog, 35186)->note,
            "An empty field is not a number 0..255: iInvW stays 120");
  EXPECT_EQ(PointingFieldById(dialog, 35172)->note, "");
  EXPECT_EQ(PointingFieldById(dialog, 35172)->text, " 7");
  PointingFieldById(dialog, 35167)->text = "255";
  OnPointingDeviceOk(dialog, params);
  EXPECT_TRUE(dialog.finished);
  EXPECT_EQ(params[0], 255);
  EXPECT_EQ(params[2], 7);  // field 35172 is iGain1E
}

}  // namespace
}  // namespace veltrane::ui
