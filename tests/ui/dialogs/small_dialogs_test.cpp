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

TEST(PointingDeviceDialog, OkStoresLowBytesAndCancelNothing) {
  PointDeviceParams params = model::kPointDeviceStartValues;
  PointingDeviceDialogModel dialog = OpenPointingDeviceDialog(params);
  const std::pair<int, std::string> typed[] = {{35167, "300"}, {35168, "abc"}, {35169, ""},
                                               {35170, "256"}, {35171, " 7"},  {35186, "-1"}};
  for (const auto& [id, text] : typed) PointingFieldById(dialog, id)->text = text;
  PointingDeviceDialogModel cancelled = dialog;
  OnPointingDeviceCancel(cancelled);
  EXPECT_EQ(params, model::kPointDeviceStartValues);
  OnPointingDeviceOk(dialog, params);
  EXPECT_TRUE(dialog.finished);
  EXPECT_EQ(params[0], 44);
  EXPECT_EQ(params[1] + params[8] + params[9] + params[19], 0);
  EXPECT_EQ(params[16], 7);
  EXPECT_EQ(params[2], 13);  // untouched fields store their own value back
}

}  // namespace
}  // namespace veltrane::ui
