// SPDX-License-Identifier: MIT
#include "ui/main_window/main_window_model.h"

#include <gtest/gtest.h>

#include "ui/dialogs/control_ids.h"

namespace veltrane::ui {
namespace {

TEST(ReadUnsigned, AcceptsDigitsAfterBlanksOnly) {
  EXPECT_EQ(ReadUnsigned("28"), 28u);
  EXPECT_EQ(ReadUnsigned("  7"), 7u);
  EXPECT_EQ(ReadUnsigned("0"), 0u);
  EXPECT_EQ(ReadUnsigned("4294967295"), 4294967295u);
  EXPECT_FALSE(ReadUnsigned(""));
  EXPECT_FALSE(ReadUnsigned("   "));
  EXPECT_FALSE(ReadUnsigned("-3"));
  EXPECT_FALSE(ReadUnsigned("+3"));
  EXPECT_FALSE(ReadUnsigned("12a"));
  EXPECT_FALSE(ReadUnsigned("4294967296"));
  EXPECT_FALSE(ReadUnsigned("99999999999999999999999"));
}

TEST(ComboBox, SelectingAMissingEntrySelectsNone) {
  ComboBox box;
  box.Fill({"a", "b", "c"});
  box.Select(2);
  EXPECT_EQ(box.selection, 2);
  box.Select(3);
  EXPECT_EQ(box.selection, -1);
  box.Select(1);
  box.Select(-7);
  EXPECT_EQ(box.selection, -1);
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartApplication(app);
    CreateMainWindowControls(window);
    RefreshControls(app, window);
  }
  void Commit(int id, std::string_view text) {
    CommitField(id, text, app);
    RefreshControls(app, window);
  }
  AppState app;
  MainWindowModel window;
  model::Settings& settings = app.doc.def.settings;
};

TEST_F(MainWindowTest, CreationShowsTheStartUpValues) {
  EXPECT_EQ(window.repeatDelay.selection, 1);
  EXPECT_EQ(window.repeatRate.selection, 7);
  EXPECT_EQ(window.debounce.text, "28");
  EXPECT_EQ(window.maxScanRow.selection, 13);
  EXPECT_EQ(window.pointDevice.selection, 0);
  EXPECT_TRUE(window.pointDevice.enabled);
  EXPECT_EQ(window.fileName.text, "in.dat");
  EXPECT_EQ(window.serial.text, "");
  EXPECT_EQ(window.gain.text, "1");
  EXPECT_EQ(window.beepLength.text, "0");
  EXPECT_EQ(window.repeatRate.items[7], "60 mS");
  EXPECT_EQ(window.maxScanRow.items.size(), 16u);
  EXPECT_FALSE(window.fileName.enabled);
  EXPECT_FALSE(window.beepLength.enabled);
  EXPECT_TRUE(window.enableKeyboard.checked);
  EXPECT_FALSE(window.enablePointing.checked);
  EXPECT_TRUE(window.writeDat.checked);
  EXPECT_FALSE(window.generateEnabled);
  EXPECT_EQ(window.programVersion, "V05.27");
}

TEST_F(MainWindowTest, CommittedTextsFollowTheFieldsRules) {
  Commit(id::kDebounce, "fast");
  EXPECT_EQ(settings.DebounceTime, 0u);
  EXPECT_EQ(window.debounce.text, "0");
  Commit(id::kDebounce, "300");
  EXPECT_EQ(settings.DebounceTime, 300u);
  Commit(id::kSerial, std::string(40, 'S'));
  EXPECT_EQ(window.serial.text, std::string(31, 'S'));
  Commit(id::kSerial, std::string(29, 'S') + "\xe2\x82\xac");  // never cut inside a character
  EXPECT_EQ(settings.SerialNumber, std::string(29, 'S'));
}

TEST_F(MainWindowTest, GainFieldLimitsWhatIsTyped) {
  Commit(id::kGain, "20");
  EXPECT_EQ(settings.ScrollWheelGain, 16);
  EXPECT_EQ(window.gain.text, "16");
  Commit(id::kGain, "0");
  EXPECT_EQ(settings.ScrollWheelGain, 0);
  Commit(id::kGain, "300");
  EXPECT_EQ(settings.ScrollWheelGain, 16);
  settings.ScrollWheelGain = -3;
  Commit(id::kGain, "-3");  // not an unsigned number: the value stays
  EXPECT_EQ(settings.ScrollWheelGain, -3);
  Commit(id::kGain, "x");
  EXPECT_EQ(settings.ScrollWheelGain, -3);
  EXPECT_EQ(window.gain.text, "-3");  // the field shows what is stored, not what was typed
}

TEST_F(MainWindowTest, BeepFieldLimitsAndZeroSwitchesTheBeepOff) {
  settings.BeepLength = 100;
  Commit(id::kBeepLength, "250");
  EXPECT_EQ(settings.BeepLength, 200);
  EXPECT_EQ(window.beepLength.text, "200");
  EXPECT_TRUE(window.beepLength.enabled);
  EXPECT_TRUE(window.beep.checked);
  Commit(id::kBeepLength, "");  // an emptied field keeps the length
  EXPECT_EQ(window.beepLength.text, "200");
  Commit(id::kBeepLength, "0");
  EXPECT_EQ(settings.BeepLength, 0);
  EXPECT_FALSE(window.beepLength.enabled);
  EXPECT_FALSE(window.beep.checked);
}

TEST_F(MainWindowTest, ListsShowOnlyTheirOwnEntries) {
  CommitListText(id::kRepeatRate, " 120 ms ", window, app);
  EXPECT_EQ(settings.DefRepRate, 15);
  CommitListText(id::kRepeatRate, "999 mS", window, app);
  CommitListText(id::kPointDevice, "foo", window, app);
  EXPECT_EQ(settings.DefRepRate, 15);
  EXPECT_EQ(settings.PointDevice, 0);
  PickListEntry(id::kMaxScanRow, 15, window, app);
  EXPECT_EQ(settings.MaxScanRow, 16);
  PickListEntry(id::kMaxScanRow, 16, window, app);  // no such entry
  EXPECT_EQ(settings.MaxScanRow, 16);
  settings.DefRepDelay = -1;
  settings.MaxScanRow = 0;
  RefreshControls(app, window);
  EXPECT_EQ(window.repeatDelay.selection, -1);
  EXPECT_EQ(window.maxScanRow.selection, -1);
}

TEST_F(MainWindowTest, ALoadEnablesThePointingDeviceListExactlyWhenOneIsChosen) {
  model::Settings loaded;
  loaded.PointDevice = 0;
  app.doc.options.matrixEnabled = true;  // files do not carry it
  ApplySettings(app, loaded);
  RefreshControls(app, window);
  EXPECT_FALSE(window.pointDevice.enabled);
  EXPECT_TRUE(window.matrix.checked);
  loaded.PointDevice = 2;
  ApplySettings(app, loaded);
  RefreshControls(app, window);
  EXPECT_TRUE(window.pointDevice.enabled);
  window.pointDevice.enabled = false;  // as the check box leaves it
  RefreshControls(app, window);
  EXPECT_FALSE(window.pointDevice.enabled);
}

}  // namespace
}  // namespace veltrane::ui
