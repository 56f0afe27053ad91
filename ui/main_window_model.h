// The main window's settings controls and the values they hold for the rest
// of the program.
#pragma once

#include <array>
#include <string>

#include "model/definition.h"
#include "model/shown_settings.h"
#include "ui/controls.h"
#include "ui/edit_target.h"
#include "ui/key_picture.h"
#include "ui/progress_bar.h"

namespace veltrane::ui {

inline constexpr std::string_view kProgramVersion = "V05.27";
inline constexpr std::string_view kDefaultFileName = "in.dat";

struct MainWindowModel {
  ComboBox repeatDelay;          // 35082
  ComboBox repeatRate;           // 35083
  ComboBox maxScanRow;           // 35090
  ComboBox pointDevice;          // 35100
  EditField debounce;            // 35084
  EditField fileName;            // 35078, display only
  EditField version;             // 35187
  EditField serial;              // 35119
  EditField gain;                // 35193
  EditField beepLength;          // 35149
  CheckBox matrix;               // 35079
  CheckBox globalRepeat;         // 35080
  CheckBox anyKeyRelease;        // 35081
  CheckBox prefixMakeBreak;      // 35091
  CheckBox enableKeyboard;       // 35101, display only
  CheckBox enablePointing;       // 35102
  CheckBox beep;                 // 35148
  CheckBox writeBin;             // 35194
  CheckBox writeTxt;             // 35195
  CheckBox writeDat;             // 35198, always checked
  CheckBox writeSavedTxt;        // 35197
  CheckBox copyEepromBin;        // 35196
  CheckBox changedWords;         // 35199, "Changed words only"
  bool generateEnabled = false;  // "Generate EEPROM File"
  std::string programVersion;    // 35097
  std::string title = "Veltrane";
  bool modified = false;  // the definition differs from the last one loaded, saved or read

  // Matrix and LED buttons: index row * 8 + column, and LED 1..4 as 0..3.
  std::array<KeyPicture, 128> keyPictures{};
  std::array<std::string, 128> keyTooltips;  // the key's legend and its layer [0,0] meaning
  std::array<KeyPicture, 4> ledPictures{};
  ProgressBar progress;
  bool busy = false;  // a command runs (a transfer, a dialog): no other command starts
  // The production line runs over the definition: nothing may change it.
  bool locked = false;

  EditTarget editTarget;
  int ledSlot = 0;        // the LED the Key LED dialog edits, 0..3
  int shortcutCount = 0;  // keys typed of the sequence 222, row letter, column letter
  int shortcutRow = 0;
};

// Controls as the window's creation step leaves them.
void CreateMainWindowControls(MainWindowModel& window);

// The list- and field-held settings, read with the window's reading rules.
model::ShownSettings ReadShownSettings(const MainWindowModel& window);

// Change handling of the scroll-wheel gain field: a valid number above 16 is
// stored as 16 and shown as 16; a negative gain from a file is left alone.
void OnGainFieldChanged(MainWindowModel& window, model::GlobalSettings& settings);
// Sets the gain field's text; like any change of the field this runs its handling.
void SetGainText(MainWindowModel& window, model::GlobalSettings& settings, std::string text);

// Change handling of the beep length field (at most 200; 0 disables the field).
void OnBeepFieldChanged(MainWindowModel& window, model::GlobalSettings& settings);
void SetBeepText(MainWindowModel& window, model::GlobalSettings& settings, std::string text);

}  // namespace veltrane::ui
