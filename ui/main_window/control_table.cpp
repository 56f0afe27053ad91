// SPDX-License-Identifier: MIT
#include "ui/main_window/control_table.h"

#include <algorithm>

namespace veltrane::ui {
namespace {

using K = ControlKind;

constexpr Control kControls[] = {
    // Buttons, check boxes, labels, fields and lists.
    {K::PushButton, id::kCheckPresence, "Check keyboard presence", {390, 0, 180, 20}},
    {K::PushButton, id::kGenerate, "Generate EEPROM File", {390, 30, 180, 20}, false},
    {K::PushButton, id::kSave, "Save settings to file", {390, 60, 180, 20}},
    {K::PushButton, id::kLoad, "Load settings from file", {390, 90, 180, 20}},
    {K::PushButton, id::kProgram, "Program Keyboard", {390, 120, 180, 20}},
    {K::PushButton, id::kRead, "Read Keyboard EEProm", {390, 150, 180, 20}},
    {K::PushButton, id::kTestKeyboard, "Test keyboard", {390, 180, 180, 20}},
    {K::PushButton, id::kNewClearAll, "New - Clear all", {10, 440, 180, 20}},
    {K::PushButton, id::kPointDevSet, "Point Dev Set.", {600, 480, 100, 20}},
    {K::CheckBox, id::kEnableMatrix, "Enable matrix", {390, 220, 180, 20}},
    {K::CheckBox, id::kGlobalRepeat, "Global repeat disable", {390, 240, 180, 20}},
    {K::CheckBox, id::kAnyKeyRelease, "Any key release dis. repeat", {390, 260, 220, 20}},
    {K::CheckBox, id::kPrefixMakeBreak, "Prefix Make/Break:", {390, 360, 180, 20}},
    {K::CheckBox, id::kEnableKeyboard, "Enable keyboard", {390, 480, 180, 20}, false},
    {K::CheckBox, id::kEnablePointing, "Enable pointing device", {390, 500, 180, 20}},
    {K::CheckBox, id::kActivateBeep, "Activate beep", {10, 500, 120, 20}},
    {K::CheckBox, id::kWriteBin, "xxx.bin", {600, 30, 80, 20}},
    {K::CheckBox, id::kWriteTxt, "xxx.txt", {700, 30, 80, 20}},
    {K::CheckBox, id::kWriteDat, "xxx.dat", {600, 60, 80, 20}, false},
    {K::CheckBox, id::kWriteSavedTxt, "Saved.txt", {700, 60, 120, 20}},
    {K::CheckBox, id::kCopyEepromBin, "Copy to EeProm.bin", {600, 150, 180, 20}},
    {K::CheckBox, id::kChangedWordsOnly, "Changed words only", {600, 120, 180, 20}},
    {K::Label, id::kNone, "Mouse speed:", {390, 280, 150, 20}},
    {K::ComboBox, id::kRepeatDelay, "", {600, 277, 100, 300}},
    {K::Label, id::kNone, "Ps2 Repeat rate( not used):", {390, 300, 200, 20}},
    {K::ComboBox, id::kRepeatRate, "", {600, 297, 100, 300}},
    {K::Label, id::kNone, "Debounce Time (1..255 mSec):", {390, 320, 195, 20}},
    {K::DigitsEdit, id::kDebounce, "", {600, 320, 30, 20}},
    {K::Label, id::kNone, "Default Illumination:", {390, 340, 150, 20}},
    {K::ComboBox, id::kMaxScanRow, "", {600, 340, 100, 300}},
    {K::ComboBox, id::kPointDevice, "", {600, 497, 100, 300}},
    {K::Edit, id::kFileName, "", {600, 92, 180, 20}, false},
    {K::Label, id::kNone, "Version:", {600, 440, 60, 20}},
    {K::Label, id::kProgramVersionLabel, "", {660, 440, 80, 20}},
    {K::DigitsEdit, id::kVersion, "", {600, 0, 180, 20}},
    {K::Label, id::kNone, "Serial number:", {390, 542, 150, 20}},
    {K::Edit, id::kSerial, "", {600, 542, 100, 20}},
    {K::Label, id::kNone, "Scroll Wheel gain (1..16):", {390, 520, 180, 20}},
    {K::DigitsEdit, id::kGain, "", {600, 520, 20, 20}},
    {K::Edit, id::kBeepLength, "", {150, 500, 60, 20}, false},
    {K::Label, id::kNone, "Led 1:", {390, 400, 50, 15}},
    {K::Label, id::kNone, "Led 2:", {390, 420, 50, 15}},
    {K::Label, id::kNone, "Led 3:", {390, 440, 50, 15}},
    {K::Label, id::kNone, "Led 4:", {390, 460, 50, 15}},
    {K::PictureButton, id::kLed1, "", {450, 398, 20, 20}},
    {K::PictureButton, id::kLed2, "", {450, 418, 20, 20}},
    {K::PictureButton, id::kLed3, "", {450, 438, 20, 20}},
    {K::PictureButton, id::kLed4, "", {450, 458, 20, 20}},
    {K::ListBox, id::kSpareList, "", {240, 40, 140, 240}},
    // Matrix labels: drive lines (rows) down the left, sense lines (columns) along the top.
    {K::Label, id::kNone, "0", {10, 40, 30, 20}},
    {K::Label, id::kNone, "1", {10, 60, 30, 15}},
    {K::Label, id::kNone, "2", {10, 80, 30, 15}},
    {K::Label, id::kNone, "3", {10, 100, 30, 15}},
    {K::Label, id::kNone, "4", {10, 120, 30, 15}},
    {K::Label, id::kNone, "5", {10, 140, 30, 15}},
    {K::Label, id::kNone, "6", {10, 160, 30, 15}},
    {K::Label, id::kNone, "7", {10, 180, 30, 15}},
    {K::Label, id::kNone, "8", {10, 200, 30, 15}},
    {K::Label, id::kNone, "9", {10, 220, 30, 15}},
    {K::Label, id::kNone, "10", {10, 240, 30, 15}},
    {K::Label, id::kNone, "11", {10, 260, 30, 15}},
    {K::Label, id::kNone, "12", {10, 280, 30, 15}},
    {K::Label, id::kNone, "13", {10, 300, 30, 15}},
    {K::Label, id::kNone, "14", {10, 320, 30, 15}},
    {K::Label, id::kNone, "15", {10, 340, 30, 15}},
    {K::Label, id::kNone, "0", {40, 10, 30, 15}},
    {K::Label, id::kNone, "1", {60, 10, 30, 15}},
    {K::Label, id::kNone, "2", {80, 10, 30, 15}},
    {K::Label, id::kNone, "3", {100, 10, 30, 15}},
    {K::Label, id::kNone, "4", {120, 10, 30, 15}},
    {K::Label, id::kNone, "5", {140, 10, 30, 15}},
    {K::Label, id::kNone, "6", {160, 10, 30, 15}},
    {K::Label, id::kNone, "7", {180, 10, 30, 15}},
    {K::Label, id::kNone, "Sns", {10, 0, 50, 15}},
    {K::Label, id::kNone, "Drv", {0, 19, 50, 15}},
};

constexpr SettingControl kSettingControls[] = {
    {id::kGlobalRepeat, "GlobalRepeatDisable"},
    {id::kAnyKeyRelease, "AnyKeyRelease"},
    {id::kRepeatDelay, "DefRepDelay"},
    {id::kRepeatRate, "DefRepRate"},
    {id::kDebounce, "DebounceTime", 1},  // as its label says
    {id::kMaxScanRow, "MaxScanRow"},
    {id::kPrefixMakeBreak, "PrefixMakeBreak"},
    {id::kPointDevice, "PointDevice"},
    {id::kBeepLength, "BeepLength"},
    {id::kGain, "ScrollWheelGain"},
    {id::kFileName, "ConfigFileName"},
    {id::kSerial, "SerialNumber"},
};

}  // namespace

std::span<const SettingControl> SettingControls() {
  return kSettingControls;
}

const SettingControl* SettingControlOf(int id) {
  for (const SettingControl& control : kSettingControls)
    if (control.id == id) return &control;
  return nullptr;
}

std::span<const Control> ControlTable() {
  return kControls;
}

const Control* FindControl(int id) {
  if (id == id::kNone) return nullptr;
  const auto* found = std::find_if(std::begin(kControls), std::end(kControls),
                                   [id](const Control& c) { return c.id == id; });
  return found == std::end(kControls) ? nullptr : found;
}

}  // namespace veltrane::ui
