#include "ui/app/app_state.h"

#include <gtest/gtest.h>

#include "support/recording_messages.h"

namespace veltrane::ui {
namespace {

using persist::header::BeepLength;
using persist::header::DebounceTime;
using persist::header::DefRepDelay;
using persist::header::DefRepRate;
using persist::header::EnableBits;
using persist::header::MaxScanRow;
using persist::header::NumberOfStrings;
using persist::header::PointDevice;

class AppStateTest : public ::testing::Test {
 protected:
  void SetUp() override { StartApplication(app); }
  testing::RecordingMessages messages;
  NullLog log;
  Services io{messages, log};
  AppState app;
};

TEST_F(AppStateTest, StartUpEnablesTheKeyboardOnly) {
  EXPECT_EQ(app.doc.def.settings.EnableBits, 1);
  EXPECT_TRUE(app.window.enableKeyboard.checked);
  EXPECT_FALSE(app.window.enablePointing.checked);
  EXPECT_EQ(app.doc.baseName, "EEPkey");
  EXPECT_EQ(app.doc.dataDirectory, "");
  EXPECT_FALSE(app.doc.options.writeBinFile);
  for (const std::uint8_t b : app.doc.header.bytes) EXPECT_EQ(b, 0);
}

TEST_F(AppStateTest, AppliedHeaderReachesSettingsAndControls) {
  persist::HeaderImage& h = app.doc.header;
  h.SetLed(2, 4);
  h.SetU32(EnableBits, 0x103);  // only the low byte is taken
  h.SetI32(NumberOfStrings, 6);
  h.SetU32(BeepLength, 50);
  h.SetU32(DebounceTime, 300);
  h.SetI32(DefRepDelay, 3);
  h.SetI32(DefRepRate, 31);
  h.SetI32(MaxScanRow, 16);
  h.SetI32(PointDevice, 2);
  h.SetScrollWheelGain(9);
  ApplyLoadedSettings(app);
  const model::GlobalSettings& s = app.doc.def.settings;
  EXPECT_EQ(s.Led3, 4);
  EXPECT_EQ(s.EnableBits, 3);
  EXPECT_EQ(s.NumberOfStrings, 6);
  EXPECT_EQ(s.BeepLength, 50);
  EXPECT_EQ(s.ScrollWheelGain, 9);
  EXPECT_TRUE(app.window.enablePointing.checked);
  EXPECT_TRUE(app.window.beep.checked);
  EXPECT_TRUE(app.window.beepLength.enabled);
  EXPECT_EQ(app.window.beepLength.text, "50");
  EXPECT_TRUE(app.window.pointDevice.enabled);
  const model::ShownSettings shown = ReadShownSettings(app.window);
  EXPECT_EQ(shown.DebounceTime, 300u);
  EXPECT_EQ(shown.DefRepDelay, 3);
  EXPECT_EQ(shown.DefRepRate, 31);
  EXPECT_EQ(shown.MaxScanRow, 16);
  EXPECT_EQ(shown.PointDevice, 2);
}

TEST_F(AppStateTest, ZeroPointDeviceAndBeepDisableTheirControls) {
  app.window.pointDevice.enabled = true;
  app.window.beep.checked = true;
  app.window.beepLength.enabled = true;
  ApplyLoadedSettings(app);  // all-zero header
  EXPECT_FALSE(app.window.pointDevice.enabled);
  EXPECT_FALSE(app.window.beepLength.enabled);
  EXPECT_FALSE(app.window.beep.checked);
  EXPECT_EQ(ReadShownSettings(app.window).MaxScanRow, 0);
}

TEST_F(AppStateTest, OutOfRangeSelectionsSelectNothing) {
  app.doc.header.SetI32(DefRepDelay, 4);
  app.doc.header.SetI32(DefRepRate, -1);
  app.doc.header.SetI32(MaxScanRow, INT32_MIN);
  app.doc.header.SetI32(PointDevice, 1000);
  ApplyLoadedSettings(app);
  const model::ShownSettings shown = ReadShownSettings(app.window);
  EXPECT_EQ(shown.DefRepDelay, -1);
  EXPECT_EQ(shown.DefRepRate, -1);
  EXPECT_EQ(shown.MaxScanRow, 0);
  EXPECT_EQ(shown.PointDevice, -1);
}

TEST_F(AppStateTest, GainFromTheHeaderGoesThroughTheFieldHandling) {
  app.doc.header.SetScrollWheelGain(40);
  ApplyLoadedSettings(app);
  EXPECT_EQ(app.doc.def.settings.ScrollWheelGain, 16);
  EXPECT_EQ(app.window.gain.text, "16");
  app.doc.header.SetScrollWheelGain(-5);
  ApplyLoadedSettings(app);
  EXPECT_EQ(app.doc.def.settings.ScrollWheelGain, -5);
  EXPECT_EQ(app.window.gain.text, "-5");
}

TEST_F(AppStateTest, LongBeepFromTheHeaderIsLimited) {
  app.doc.header.SetU32(BeepLength, 255);
  ApplyLoadedSettings(app);
  EXPECT_EQ(app.doc.def.settings.BeepLength, 200);
  EXPECT_EQ(app.window.beepLength.text, "200");
}

TEST_F(AppStateTest, MatrixCheckBoxKeepsItsOwnState) {
  app.doc.options.matrixEnabled = true;
  ApplyLoadedSettings(app);
  EXPECT_TRUE(app.window.matrix.checked);
}

}  // namespace
}  // namespace veltrane::ui
