#include <gtest/gtest.h>

#include <set>

#include "ui/about_dialog_model.h"
#include "ui/led_dialog_model.h"
#include "ui/pointing_device_dialog_model.h"

namespace veltrane::ui {
namespace {

Rect RectOf(const DialogLayout& dialog, int id) {
  for (const DialogControl& control : dialog.controls) {
    if (control.id == id) return control.rect;
  }
  return {};
}

TEST(LedDialog, PickIsStoredAtOnceAndCancelKeepsIt) {
  model::GlobalSettings settings;
  settings.Led3 = 5;
  LedDialogModel dialog = OpenLedDialog(settings, 2);
  EXPECT_EQ(dialog.led.items.size(), 6u);
  EXPECT_EQ(dialog.led.selection, 5);
  OnLedPicked(dialog, settings, 3);
  EXPECT_EQ(dialog.led.items[3], "Num Lock LED");
  EXPECT_EQ(settings.Led3, 3);
  OnLedDialogClosed(dialog);  // "Cancel"
  EXPECT_TRUE(dialog.finished && dialog.repaintMainWindow);
  EXPECT_EQ(settings.Led3, 3);
  EXPECT_EQ(settings.Led1 + settings.Led2 + settings.Led4, 0);
}

TEST(LedDialog, ValuesAndSlotsOutsideTheListAreHarmless) {
  model::GlobalSettings settings;
  settings.Led1 = 9;
  settings.Led2 = -1;
  EXPECT_EQ(OpenLedDialog(settings, 1).led.selection, -1);
  LedDialogModel dialog = OpenLedDialog(settings, 0);
  EXPECT_EQ(dialog.led.selection, -1);
  OnLedPicked(dialog, settings, 6);
  OnLedPicked(dialog, settings, -1);
  EXPECT_EQ(settings.Led1, 9);
  LedDialogModel stray = OpenLedDialog(settings, 4);
  OnLedPicked(stray, settings, 2);
  EXPECT_EQ(stray.led.selection, -1);
  EXPECT_EQ(settings.Led4, 0);
}

TEST(SmallDialogLayouts, DialogUnitsBecomePixels) {
  const DialogLayout& led = LedDialogLayout();
  EXPECT_EQ(led.width, 320);
  EXPECT_EQ(led.height, 101);
  EXPECT_EQ(RectOf(led, kIdOk), (Rect{234, 11, 75, 23}));
  EXPECT_EQ(RectOf(led, kIdCancel), (Rect{234, 39, 75, 23}));
  EXPECT_EQ(RectOf(led, kLedComboId), (Rect{50, 50, 180, 300}));
  const DialogLayout& about = AboutDialogLayout();
  EXPECT_EQ(RectOf(about, kIdOk), (Rect{293, 10, 45, 18}));
  EXPECT_EQ(about.controls[1].text, "Veltrane");
  EXPECT_EQ(about.controls[2].text, "V05.27");
}

TEST(PointingDeviceDialog, FieldsShowTheirParameters) {
  PointDeviceParams params = model::kPointDeviceStartValues;
  params[2] = 200;   // iGain1E
  params[13] = 77;   // iOffs2S
  params[19] = 255;  // iInvW
  PointingDeviceDialogModel dialog = OpenPointingDeviceDialog(params);
  const std::pair<int, std::string> shown[] = {{35167, "13"},  {35168, "1"},  {35171, "120"},
                                               {35172, "200"}, {35180, "77"}, {35186, "255"}};
  for (const auto& [id, text] : shown) EXPECT_EQ(PointingFieldById(dialog, id)->text, text) << id;
  EXPECT_EQ(PointingFieldById(dialog, 35166), nullptr);
  EXPECT_EQ(PointingFieldById(dialog, 35187), nullptr);
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

TEST(PointingDeviceDialog, FourBlocksOfFivePairs) {
  const DialogLayout& layout = PointingDeviceDialogLayout();
  EXPECT_EQ(layout.width, 591);
  EXPECT_EQ(layout.height, 320);
  EXPECT_EQ(layout.controls.size(), 42u);
  std::set<int> params;
  for (const PointingField& field : PointingFields()) params.insert(field.param);
  EXPECT_EQ(params.size(), 20u);
  EXPECT_EQ(RectOf(layout, 35172), (Rect{220, 10, 50, 15}));
  EXPECT_EQ(RectOf(layout, 35179), (Rect{80, 170, 50, 15}));
  EXPECT_EQ(PointingFields()[19].label, "iInvW:");
  EXPECT_EQ(PointingFields()[19].labelRect, (Rect{150, 210, 80, 15}));
}

}  // namespace
}  // namespace veltrane::ui
