#include "ui/app/main_window_model.h"

#include <gtest/gtest.h>

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
  void SetUp() override { CreateMainWindowControls(window); }
  MainWindowModel window;
  model::GlobalSettings settings;
};

TEST_F(MainWindowTest, CreationShowsTheStartUpValues) {
  const model::ShownSettings shown = ReadShownSettings(window);
  EXPECT_EQ(shown.DefRepDelay, 1);
  EXPECT_EQ(shown.DefRepRate, 7);
  EXPECT_EQ(shown.DebounceTime, 28u);
  EXPECT_EQ(shown.MaxScanRow, 14);
  EXPECT_EQ(shown.PointDevice, 0);
  EXPECT_EQ(shown.ConfigFileName, "in.dat");
  EXPECT_EQ(shown.SerialNumber, "");
  EXPECT_EQ(window.repeatRate.items[7], "60 mS");
  EXPECT_EQ(window.maxScanRow.items.size(), 16u);
  EXPECT_FALSE(window.fileName.enabled);
  EXPECT_FALSE(window.beepLength.enabled);
  EXPECT_TRUE(window.writeDat.checked);
  EXPECT_FALSE(window.generateEnabled);
  EXPECT_EQ(window.programVersion, "V05.27");
}

TEST_F(MainWindowTest, ReadingRulesCutTextsAndDefaultMissingNumbers) {
  window.debounce.text = "fast";
  window.serial.text = std::string(40, 'S');
  window.fileName.text = std::string(35, 'F') + ".DAT";
  window.maxScanRow.Select(-1);
  window.repeatDelay.Select(9);
  const model::ShownSettings shown = ReadShownSettings(window);
  EXPECT_EQ(shown.DebounceTime, 0u);
  EXPECT_EQ(shown.SerialNumber, std::string(31, 'S'));
  EXPECT_EQ(shown.ConfigFileName, std::string(31, 'F'));
  EXPECT_EQ(shown.MaxScanRow, 0);
  EXPECT_EQ(shown.DefRepDelay, -1);
}

TEST_F(MainWindowTest, GainFieldLimitsWhatIsTyped) {
  SetGainText(window, settings, "20");
  EXPECT_EQ(settings.ScrollWheelGain, 16);
  EXPECT_EQ(window.gain.text, "16");
  SetGainText(window, settings, "0");
  EXPECT_EQ(settings.ScrollWheelGain, 0);
  SetGainText(window, settings, "300");
  EXPECT_EQ(settings.ScrollWheelGain, 16);
  settings.ScrollWheelGain = -3;
  SetGainText(window, settings, "-3");  // not an unsigned number: the value stays
  EXPECT_EQ(settings.ScrollWheelGain, -3);
  SetGainText(window, settings, "x");
  EXPECT_EQ(settings.ScrollWheelGain, -3);
  EXPECT_EQ(window.gain.text, "x");
}

TEST_F(MainWindowTest, BeepFieldLimitsAndZeroSwitchesTheBeepOff) {
  window.beepLength.enabled = true;
  window.beep.checked = true;
  SetBeepText(window, settings, "250");
  EXPECT_EQ(settings.BeepLength, 200);
  EXPECT_EQ(window.beepLength.text, "200");
  EXPECT_TRUE(window.beepLength.enabled);
  SetBeepText(window, settings, "0");
  EXPECT_EQ(settings.BeepLength, 0);
  EXPECT_FALSE(window.beepLength.enabled);
  EXPECT_FALSE(window.beep.checked);
}

}  // namespace
}  // namespace veltrane::ui
