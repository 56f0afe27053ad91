// SPDX-License-Identifier: MIT
#include "ui/main_window/main_window_model.h"

#include <gtest/gtest.h>

#include "ui/controls/control_ids.h"

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
  EXPECT_EQ(window.List(id::kRepeatDelay).selection, 1);
  EXPECT_EQ(window.List(id::kRepeatRate).selection, 7);
  EXPECT_EQ(window.Field(id::kDebounce).text, "28");
  EXPECT_EQ(window.List(id::kMaxScanRow).selection, 13);
  EXPECT_EQ(window.List(id::kPointDevice).selection, 0);
  EXPECT_TRUE(window.List(id::kPointDevice).enabled);
  EXPECT_EQ(window.Field(id::kFileName).text, "in.dat");
  EXPECT_EQ(window.Field(id::kSerial).text, "");
  EXPECT_EQ(window.Field(id::kGain).text, "1");
  EXPECT_EQ(window.Field(id::kBeepLength).text, "0");
  EXPECT_EQ(window.List(id::kRepeatRate).items[7], "60 mS");
  EXPECT_EQ(window.List(id::kMaxScanRow).items.size(), 16u);
  EXPECT_FALSE(window.Field(id::kFileName).enabled);
  EXPECT_FALSE(window.Field(id::kBeepLength).enabled);
  EXPECT_TRUE(window.Box(id::kEnableKeyboard).checked);
  EXPECT_FALSE(window.Box(id::kEnablePointing).checked);
  EXPECT_TRUE(window.Box(id::kWriteDat).checked);
  EXPECT_FALSE(window.generateEnabled);
  EXPECT_EQ(window.programVersion, "V05.27");
}

// A field takes only what its setting can hold; anything else is refused: the
// setting keeps its value, the field shows it again, and the note says why.
TEST_F(MainWindowTest, FieldsRefuseWhatTheirSettingCannotHold) {
  const auto refused = [&](int id, std::string_view text, const std::string& shown) {
    const std::string note = CommitField(id, text, app);
    RefreshControls(app, window);
    EXPECT_EQ(window.Field(id).text, shown) << text;
    return note;
  };
  EXPECT_EQ(refused(id::kDebounce, "300", "28"), "300 is outside 1..255: DebounceTime stays 28");
  EXPECT_EQ(refused(id::kDebounce, "abc", "28"),
            "\"abc\" is not a number 1..255: DebounceTime stays 28");
  EXPECT_EQ(refused(id::kDebounce, "", "28"),
            "An empty field is not a number 1..255: DebounceTime stays 28");
  EXPECT_EQ(refused(id::kDebounce, "0", "28"), "0 is outside 1..255: DebounceTime stays 28");
  EXPECT_EQ(refused(id::kDebounce, "255", "255"), "");
  EXPECT_EQ(settings.DebounceTime, 255u);
  EXPECT_EQ(refused(id::kGain, "20", "1"), "20 is outside 0..16: ScrollWheelGain stays 1");
  EXPECT_EQ(refused(id::kGain, "-3", "1"), "\"-3\" is not a number 0..16: ScrollWheelGain stays 1");
  EXPECT_EQ(refused(id::kGain, "0", "0"), "");
  EXPECT_EQ(refused(id::kBeepLength, "99999999999", "0").substr(0, 14), "\"99999999999\" ");
  EXPECT_EQ(settings.ScrollWheelGain, 0);
}

TEST_F(MainWindowTest, TextFieldsTakePrintableTextCutOnACharacterBoundary) {
  EXPECT_EQ(CommitField(id::kSerial, std::string(40, 'S'), app), "");
  RefreshControls(app, window);
  EXPECT_EQ(window.Field(id::kSerial).text, std::string(31, 'S'));
  Commit(id::kSerial, std::string(29, 'S') + "\xe2\x82\xac");  // never cut inside a character
  EXPECT_EQ(settings.SerialNumber, std::string(29, 'S'));
  for (const char* pasted : {"SN\n2", "SN\t2", "SN\x1b[2J", "SN\xc2\x9b"}) {
    EXPECT_EQ(
        CommitField(id::kSerial, pasted, app),
        "SerialNumber takes printable characters only: it stays \"" + std::string(29, 'S') + "\"")
        << pasted;
    EXPECT_EQ(settings.SerialNumber, std::string(29, 'S'));
  }
}

TEST_F(MainWindowTest, BeepLengthZeroSwitchesTheBeepOff) {
  settings.BeepLength = 100;
  Commit(id::kBeepLength, "200");
  EXPECT_EQ(window.Field(id::kBeepLength).text, "200");
  EXPECT_TRUE(window.Field(id::kBeepLength).enabled);
  EXPECT_TRUE(window.Box(id::kActivateBeep).checked);
  Commit(id::kBeepLength, "0");
  EXPECT_EQ(settings.BeepLength, 0);
  EXPECT_FALSE(window.Field(id::kBeepLength).enabled);
  EXPECT_FALSE(window.Box(id::kActivateBeep).checked);
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
  EXPECT_EQ(window.List(id::kMaxScanRow).items.front(), "1");
  EXPECT_EQ(window.List(id::kRepeatDelay).items.back(), "Fastest");
}

TEST_F(MainWindowTest, ALoadEnablesThePointingDeviceListExactlyWhenOneIsChosen) {
  model::Settings loaded;
  loaded.PointDevice = 0;
  app.doc.options.matrixEnabled = true;  // files do not carry it
  ApplySettings(app, loaded);
  RefreshControls(app, window);
  EXPECT_FALSE(window.List(id::kPointDevice).enabled);
  EXPECT_TRUE(window.Box(id::kEnableMatrix).checked);
  loaded.PointDevice = 2;
  ApplySettings(app, loaded);
  RefreshControls(app, window);
  EXPECT_TRUE(window.List(id::kPointDevice).enabled);
  window.List(id::kPointDevice).enabled = false;  // as the check box leaves it
  RefreshControls(app, window);
  EXPECT_FALSE(window.List(id::kPointDevice).enabled);
}

}  // namespace
}  // namespace veltrane::ui
