#include "ui/control_table.h"

#include <algorithm>

namespace veltrane::ui {
namespace {

using K = MainControlKind;

constexpr MainControl kControls[] = {
    // Buttons, check boxes, labels, fields and lists.
    {K::PushButton, "Check keyboard presence", 390, 0, 180, 20, 35099},
    {K::PushButton, "Generate EEPROM File", 390, 30, 180, 20, 35072, true},
    {K::PushButton, "Save settings to file", 390, 60, 180, 20, 35073},
    {K::PushButton, "Load settings from file", 390, 90, 180, 20, 35074},
    {K::PushButton, "Program Keyboard", 390, 120, 180, 20, 35098},
    {K::PushButton, "Read Keyboard EEProm", 390, 150, 180, 20, 35118},
    {K::PushButton, "Test keyboard", 390, 180, 180, 20, 35076},
    {K::PushButton, "New - Clear all", 10, 440, 180, 20, 35096},
    {K::PushButton, "Point Dev Set.", 600, 480, 100, 20, 35166},
    {K::CheckBox, "Enable matrix", 390, 220, 180, 20, 35079},
    {K::CheckBox, "Global repeat disable", 390, 240, 180, 20, 35080},
    {K::CheckBox, "Any key release dis. repeat", 390, 260, 220, 20, 35081},
    {K::CheckBox, "Prefix Make/Break:", 390, 360, 180, 20, 35091},
    {K::CheckBox, "Enable keyboard", 390, 480, 180, 20, 35101, true},
    {K::CheckBox, "Enable pointing device", 390, 500, 180, 20, 35102},
    {K::CheckBox, "Activate beep", 10, 500, 120, 20, 35148},
    {K::CheckBox, "xxx.bin", 600, 30, 80, 20, 35194},
    {K::CheckBox, "xxx.txt", 700, 30, 80, 20, 35195},
    {K::CheckBox, "xxx.dat", 600, 60, 80, 20, 35198, true},
    {K::CheckBox, "Saved.txt", 700, 60, 120, 20, 35197},
    {K::CheckBox, "Copy to EeProm.bin", 600, 150, 180, 20, 35196},
    {K::CheckBox, "Changed words only", 600, 120, 180, 20, 35199},
    {K::Label, "Mouse speed:", 390, 280, 150, 20, 0},
    {K::ComboBox, "", 600, 277, 100, 300, 35082},
    {K::Label, "Ps2 Repeat rate( not used):", 390, 300, 200, 20, 0},
    {K::ComboBox, "", 600, 297, 100, 300, 35083},
    {K::Label, "Debounce Time (1..255 mSec):", 390, 320, 195, 20, 0},
    {K::Edit, "28", 600, 320, 30, 20, 35084, false, true},
    {K::Label, "Default Illumination:", 390, 340, 150, 20, 0},
    {K::ComboBox, "", 600, 340, 100, 300, 35090},
    {K::ComboBox, "", 600, 497, 100, 300, 35100},
    {K::Edit, "in.dat", 600, 92, 180, 20, 35078, true},
    {K::Label, "Version:", 600, 440, 60, 20, 0},
    {K::Label, "", 660, 440, 80, 20, 35097},
    {K::Edit, "", 600, 0, 180, 20, 35187, false, true},
    {K::Label, "Serial number:", 390, 542, 150, 20, 0},
    {K::Edit, "", 600, 542, 100, 20, 35119},
    {K::Label, "Scroll Wheel gain (1..16):", 390, 520, 180, 20, 0},
    {K::Edit, "1", 600, 520, 20, 20, 35193, false, true},
    {K::Edit, "0", 150, 500, 60, 20, 35149, true},
    {K::Label, "Led 1:", 390, 400, 50, 15, 0},
    {K::Label, "Led 2:", 390, 420, 50, 15, 0},
    {K::Label, "Led 3:", 390, 440, 50, 15, 0},
    {K::Label, "Led 4:", 390, 460, 50, 15, 0},
    {K::LedButton, "", 450, 398, 20, 20, 35093},
    {K::LedButton, "", 450, 418, 20, 20, 35094},
    {K::LedButton, "", 450, 438, 20, 20, 35095},
    {K::LedButton, "", 450, 458, 20, 20, 35120},
    {K::ListBox, "", 240, 40, 140, 240, 35162},
    // Matrix labels: sense lines down the left, drive lines along the top.
    {K::Label, "0", 10, 40, 30, 20, 0},
    {K::Label, "1", 10, 60, 30, 15, 0},
    {K::Label, "2", 10, 80, 30, 15, 0},
    {K::Label, "3", 10, 100, 30, 15, 0},
    {K::Label, "4", 10, 120, 30, 15, 0},
    {K::Label, "5", 10, 140, 30, 15, 0},
    {K::Label, "6", 10, 160, 30, 15, 0},
    {K::Label, "7", 10, 180, 30, 15, 0},
    {K::Label, "8", 10, 200, 30, 15, 0},
    {K::Label, "9", 10, 220, 30, 15, 0},
    {K::Label, "10", 10, 240, 30, 15, 0},
    {K::Label, "11", 10, 260, 30, 15, 0},
    {K::Label, "12", 10, 280, 30, 15, 0},
    {K::Label, "13", 10, 300, 30, 15, 0},
    {K::Label, "14", 10, 320, 30, 15, 0},
    {K::Label, "15", 10, 340, 30, 15, 0},
    {K::Label, "0", 40, 10, 30, 15, 0},
    {K::Label, "1", 60, 10, 30, 15, 0},
    {K::Label, "2", 80, 10, 30, 15, 0},
    {K::Label, "3", 100, 10, 30, 15, 0},
    {K::Label, "4", 120, 10, 30, 15, 0},
    {K::Label, "5", 140, 10, 30, 15, 0},
    {K::Label, "6", 160, 10, 30, 15, 0},
    {K::Label, "7", 180, 10, 30, 15, 0},
    {K::Label, "Sns", 10, 0, 50, 15, 0},
    {K::Label, "Drv", 0, 19, 50, 15, 0},
};

}  // namespace

std::span<const MainControl> ControlTable() {
  return kControls;
}

const MainControl* FindControl(int id) {
  if (id == 0) return nullptr;
  const auto* found = std::find_if(std::begin(kControls), std::end(kControls),
                                   [id](const MainControl& c) { return c.id == id; });
  return found == std::end(kControls) ? nullptr : found;
}

}  // namespace veltrane::ui
