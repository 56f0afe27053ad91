// SPDX-License-Identifier: MIT
#include "ui/app/app_state.h"

#include <gtest/gtest.h>

#include "persist/header_settings.h"
#include "support/setting_places.h"

namespace veltrane::ui {
namespace {

class AppStateTest : public ::testing::Test {
 protected:
  void SetUp() override { StartApplication(app); }
  // A load's settings: the header's, as the window's controls can hold them.
  const model::Settings& Applied(const persist::HeaderImage& h) {
    ApplySettings(app, persist::FromHeader(h));
    return app.doc.def.settings;
  }
  AppState app;
  persist::HeaderImage h;
};

TEST_F(AppStateTest, StartUpEnablesTheKeyboardOnly) {
  EXPECT_EQ(app.doc.def.settings, model::Settings{});
  EXPECT_EQ(app.doc.def.settings.EnableBits, 1);
  EXPECT_EQ(app.doc.baseName, "EEPkey");
  EXPECT_EQ(app.doc.dataDirectory, "");
  EXPECT_FALSE(app.doc.options.writeBinFile);
  for (const std::uint8_t b : app.doc.header.bytes) EXPECT_EQ(b, 0);
}

TEST_F(AppStateTest, AppliedHeaderReachesTheSettings) {
  h.SetI32(veltrane::testing::HeaderAt("Led1") + 4 * (2), 4);
  h.SetU32(veltrane::testing::HeaderAt("EnableBits"), 0x103);  // only the low byte is taken
  h.SetI32(veltrane::testing::HeaderAt("NumberOfStrings"), 6);
  h.SetU32(veltrane::testing::HeaderAt("BeepLength"), 50);
  h.SetU32(veltrane::testing::HeaderAt("DebounceTime"), 200);
  h.SetI32(veltrane::testing::HeaderAt("DefRepDelay"), 3);
  h.SetI32(veltrane::testing::HeaderAt("DefRepRate"), 31);
  h.SetI32(veltrane::testing::HeaderAt("MaxScanRow"), 16);
  h.SetI32(veltrane::testing::HeaderAt("PointDevice"), 2);
  h.bytes[veltrane::testing::HeaderAt("ScrollWheelGain")] = static_cast<std::uint8_t>(9);
  h.SetText(veltrane::testing::HeaderAt("SerialNumber"), "SN-1");
  const int before = app.settingsApplied;
  const model::Settings& s = Applied(h);
  EXPECT_EQ(app.settingsApplied, before + 1);
  EXPECT_EQ(s.Leds[2], 4);
  EXPECT_EQ(s.EnableBits, 3);
  EXPECT_EQ(s.NumberOfStrings, 6);
  EXPECT_EQ(s.BeepLength, 50);
  EXPECT_EQ(s.ScrollWheelGain, 9);
  EXPECT_EQ(s.DebounceTime, 200u);
  EXPECT_EQ(s.DefRepDelay, 3);
  EXPECT_EQ(s.DefRepRate, 31);
  EXPECT_EQ(s.MaxScanRow, 16);
  EXPECT_EQ(s.PointDevice, 2);
  EXPECT_EQ(s.SerialNumber, "SN-1");
}

TEST_F(AppStateTest, SettingsOutsideTheirRangesTakeItsNearerEnd) {
  h.SetI32(veltrane::testing::HeaderAt("DefRepDelay"), 4);
  h.SetI32(veltrane::testing::HeaderAt("DefRepRate"), -1);
  h.SetI32(veltrane::testing::HeaderAt("MaxScanRow"), INT32_MIN);
  h.SetI32(veltrane::testing::HeaderAt("PointDevice"), 1000);
  h.bytes[veltrane::testing::HeaderAt("ScrollWheelGain")] = static_cast<std::uint8_t>(40);
  h.SetU32(veltrane::testing::HeaderAt("BeepLength"), 255);
  model::Settings s = Applied(h);
  EXPECT_EQ(s.DefRepDelay, 3);
  EXPECT_EQ(s.DefRepRate, 0);
  EXPECT_EQ(s.MaxScanRow, 1);
  EXPECT_EQ(s.PointDevice, 2);
  EXPECT_EQ(s.ScrollWheelGain, 16);
  EXPECT_EQ(s.BeepLength, 200);
  h.bytes[veltrane::testing::HeaderAt("ScrollWheelGain")] = static_cast<std::uint8_t>(-5);
  h.SetI32(veltrane::testing::HeaderAt("MaxScanRow"), 17);
  s = Applied(h);
  EXPECT_EQ(s.ScrollWheelGain, 0);
  EXPECT_EQ(s.MaxScanRow, 16);
}

TEST_F(AppStateTest, NewClearAllKeepsTheEnableBitsBeepAndSerial) {
  model::Settings s;
  s.EnableBits = 3;
  s.BeepLength = 70;
  s.SerialNumber = "SN-2";
  s.ConfigFileName = "mine.DAT";
  s.DebounceTime = 9;
  s.Leds[1] = 4;
  s.DefRepRate = 3;
  model::ResetForNew(s);
  model::Settings expected;
  expected.EnableBits = 3;
  expected.BeepLength = 70;
  expected.SerialNumber = "SN-2";
  EXPECT_EQ(s, expected);
}

}  // namespace
}  // namespace veltrane::ui
