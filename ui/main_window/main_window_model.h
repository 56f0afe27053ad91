// SPDX-License-Identifier: MIT
// The main window's controls as a projection of the document: what each
// shows is refreshed from the settings, the per-run options and the detected
// version; what the user does to them reaches the settings through the
// controller and is then shown again.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "ui/app/app_state.h"
#include "ui/dialogs/controls.h"
#include "ui/dialogs/key_picture.h"
#include "ui/keyedit/edit_target.h"

namespace veltrane::ui {

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
  bool busy = false;    // a command runs (a transfer, a dialog): no other command starts
  bool locked = false;  // the production line runs over the definition: nothing may change it

  EditTarget editTarget;
  int ledSlot = 0;        // the LED the Key LED dialog edits, 0..3
  int shortcutCount = 0;  // keys typed of the sequence 222, row letter, column letter
  int shortcutRow = 0;
  // The Edit menu: the captions name the steps ("Undo Assign Macro 3/5").
  std::string undoCaption = "Undo";
  std::string redoCaption = "Redo";
  bool undoEnabled = false;
  bool redoEnabled = false;
  int selectedKey = -1;          // the position Cut, Copy, Paste key and Swap act on; -1: none
  int markedKey = -1;            // the key cut or copied; -1: none
  bool markedForMove = false;    // cut: "Paste key" moves it; copied: it copies it
  int settingsShown = -1;        // AppState::settingsApplied when the list states last followed it
  std::string chooserDirectory;  // where Load File and Save File open: where browsing last ended
};

// Controls as the window's creation step leaves them: the lists filled, the
// controls created disabled so; the values follow with RefreshControls.
void CreateMainWindowControls(MainWindowModel& window);

// Shows the document in every control (lists, fields, check boxes, the beep
// field's state, "Generate EEPROM File", the matrix and LED pictures, the
// title's mark of unsaved changes), as every repaint of the window does.
// After a load or read the pointing-device list is enabled exactly when a
// pointing device is chosen.
void RefreshControls(const AppState& app, MainWindowModel& window);

// The matrix and LED pictures and the matrix tooltips alone.
void RefreshPictures(const AppState& app, MainWindowModel& window);

// What a field's committed text stores (Enter or leaving the field). A field
// whose text is no valid number leaves its setting as it was: the gain keeps
// at most 16, the beep length at most 200, the debounce time is 0 when its
// field holds no number; the serial number keeps its first 31 bytes.
void CommitField(int id, std::string_view text, AppState& app);

// A list entry picked, by its index; an index outside the list changes nothing.
void PickListEntry(int id, int index, const MainWindowModel& window, AppState& app);

// Text typed into a list's field and committed: the entry with that text
// (letter case and blanks around it aside) is picked; any other text is
// dropped, since a list holds only its own entries.
void CommitListText(int id, std::string_view text, const MainWindowModel& window, AppState& app);

}  // namespace veltrane::ui
