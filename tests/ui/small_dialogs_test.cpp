#include <gtest/gtest.h>

#include <set>

#include "ui/about_dialog_model.h"
#include "ui/led_dialog_model.h"
#include "ui/pointing_device_dialog_model.h"

namespace veltrane::ui {
namespace {

const ControlSpec* ControlById(const DialogSpec& dialog, int id) {
  for (const ControlSpec& control : dialog.controls) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

TEST(LedDialog, PickIsStoredAtOnceAndCancelKeepsIt) {
  model::GlobalSettings settings;
  settings.Led3 = 5;
  LedDialogModel dialog = OpenLedDialog(settings, 2);
  ASSERT_EQ(dialog.led.items.size(), 6u);
  EXPECT_EQ(dialog.led.items[3], "Num Lock LED");
  EXPECT_EQ(dialog.led.selection, 5);
  OnLedPicked(dialog, settings, 3);
  EXPECT_EQ(settings.Led3, 3);
  EXPECT_EQ(dialog.led.selection, 3);
  OnLedDialogClosed(dialog);
  EXPECT_TRUE(dialog.finished);
  EXPECT_TRUE(dialog.repaintMainWindow);
  EXPECT_EQ(settings.Led3, 3);
  EXPECT_EQ(settings.Led1 + settings.Led2 + settings.Led4, 0);
}

TEST(LedDialog, ValuesAndSlotsOutsideTheListAreHarmless) {
  model::GlobalSettings settings;
  settings.Led1 = 9;
  settings.Led2 = -1;
  EXPECT_EQ(OpenLedDialog(settings, 0).led.selection, -1);
  EXPECT_EQ(OpenLedDialog(settings, 1).led.selection, -1);
  LedDialogModel dialog = OpenLedDialog(settings, 0);
  OnLedPicked(dialog, settings, 6);
  OnLedPicked(dialog, settings, -1);
  EXPECT_EQ(settings.Led1, 9);

  LedDialogModel stray = OpenLedDialog(settings, 4);
  EXPECT_EQ(stray.led.selection, -1);
  OnLedPicked(stray, settings, 2);
  EXPECT_EQ(LedOfSlot(settings, 4), nullptr);
  EXPECT_EQ(settings.Led4, 0);
}

TEST(SmallDialogLayouts, DialogUnitsBecomePixels) {
  const DialogSpec& led = LedDialogLayout();
  EXPECT_EQ(led.title, "Key LED settings");
  EXPECT_EQ(led.width, 320);
  EXPECT_EQ(led.height, 101);
  EXPECT_EQ(ControlById(led, kIdOk)->rect, (Rect{234, 11, 75, 23}));
  EXPECT_EQ(ControlById(led, kIdCancel)->rect, (Rect{234, 39, 75, 23}));
  EXPECT_EQ(ControlById(led, kLedComboId)->rect, (Rect{50, 50, 180, 300}));
  EXPECT_EQ(led.controls[2].text, "Key LED:");

  const DialogSpec& about = AboutDialogLayout();
  EXPECT_EQ(about.title, "About");
  EXPECT_EQ(about.controls[0].text, "OK");
  EXPECT_EQ(about.controls[0].rect, (Rect{293, 10, 45, 18}));
  EXPECT_EQ(about.controls[1].text, "Veltrane");
  EXPECT_EQ(about.controls[2].text, "V05.27");
}

TEST(PointingDeviceDialog, FieldsShowTheValuesOfTheirParameters) {
  PointDeviceParams params = model::kPointDeviceStartValues;
  params[2] = 200;   // iGain1E
  params[13] = 77;   // iOffs2S
  params[19] = 255;  // iInvW
  PointingDeviceDialogModel dialog = OpenPointingDeviceDialog(params);
  EXPECT_EQ(PointingFieldById(dialog, 35167)->text, "13");   // iGain1N
  EXPECT_EQ(PointingFieldById(dialog, 35168)->text, "1");    // iGain2N
  EXPECT_EQ(PointingFieldById(dialog, 35171)->text, "120");  // iInvN
  EXPECT_EQ(PointingFieldById(dialog, 35172)->text, "200");
  EXPECT_EQ(PointingFieldById(dialog, 35180)->text, "77");
  EXPECT_EQ(PointingFieldById(dialog, 35186)->text, "255");
  EXPECT_EQ(PointingFieldById(dialog, 35166), nullptr);
  EXPECT_EQ(PointingFieldById(dialog, 35187), nullptr);
}

TEST(PointingDeviceDialog, OkStoresLowBytesAndCancelNothing) {
  PointDeviceParams params = model::kPointDeviceStartValues;
  PointingDeviceDialogModel dialog = OpenPointingDeviceDialog(params);
  PointingFieldById(dialog, 35167)->text = "300";
  PointingFieldById(dialog, 35168)->text = "abc";
  PointingFieldById(dialog, 35169)->text = "";
  PointingFieldById(dialog, 35170)->text = "256";
  PointingFieldById(dialog, 35171)->text = " 7";
  PointingFieldById(dialog, 35186)->text = "-1";

  PointDeviceParams untouched = params;
  PointingDeviceDialogModel cancelled = dialog;
  OnPointingDeviceCancel(cancelled);
  EXPECT_TRUE(cancelled.finished);
  EXPECT_EQ(params, untouched);

  OnPointingDeviceOk(dialog, params);
  EXPECT_TRUE(dialog.finished);
  EXPECT_EQ(params[0], 44);
  EXPECT_EQ(params[1], 0);
  EXPECT_EQ(params[8], 0);
  EXPECT_EQ(params[9], 0);
  EXPECT_EQ(params[16], 7);
  EXPECT_EQ(params[19], 0);
  EXPECT_EQ(params[2], 13);  // unchanged fields store their own value back
}

TEST(PointingDeviceDialog, FourBlocksOfFivePairs) {
  const DialogSpec& layout = PointingDeviceDialogLayout();
  EXPECT_EQ(layout.title, "Pointing Device");
  EXPECT_EQ(layout.width, 591);
  EXPECT_EQ(layout.height, 320);
  ASSERT_EQ(layout.controls.size(), 42u);
  std::set<int> ids, params;
  for (const PointingField& field : PointingFields()) {
    ids.insert(field.id);
    params.insert(field.param);
  }
  EXPECT_EQ(ids.size(), 20u);
  EXPECT_EQ(*ids.begin(), 35167);
  EXPECT_EQ(params.size(), 20u);
  EXPECT_EQ(ControlById(layout, 35167)->rect, (Rect{80, 10, 50, 15}));
  EXPECT_EQ(ControlById(layout, 35172)->rect, (Rect{220, 10, 50, 15}));
  EXPECT_EQ(ControlById(layout, 35179)->rect, (Rect{80, 170, 50, 15}));
  EXPECT_EQ(ControlById(layout, 35186)->rect, (Rect{220, 210, 50, 15}));
  const PointingField& invW = PointingFields()[19];
  EXPECT_EQ(invW.label, "iInvW:");
  EXPECT_EQ(invW.labelRect, (Rect{150, 210, 80, 15}));
  EXPECT_EQ(PointingFields()[7].label, "iOffs1E:");
  EXPECT_EQ(PointingFields()[7].param, 10);
}

}  // namespace
}  // namespace veltrane::ui
