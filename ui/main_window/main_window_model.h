// SPDX-License-Identifier: MIT
// The main window's controls as a projection of the document: what each
// shows is refreshed from the settings, the per-run options and the detected
// version; what the user does to them reaches the settings through the
// controller and is then shown again.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>

#include "ui/app/app_state.h"
#include "ui/controls/controls.h"
#include "ui/controls/key_picture.h"
#include "ui/keyedit/edit_target.h"

namespace veltrane::ui {

struct MainWindowModel {
  // The state of every check box, field and list of the control table, by id.
  std::map<int, CheckBox> checkBoxes;
  std::map<int, EditField> fields;  // a field's note tells why its last text was refused
  std::map<int, ComboBox> lists;
  CheckBox& Box(int id) { return checkBoxes.at(id); }
  const CheckBox& Box(int id) const { return checkBoxes.at(id); }
  EditField& Field(int id) { return fields.at(id); }
  const EditField& Field(int id) const { return fields.at(id); }
  ComboBox& List(int id) { return lists.at(id); }
  const ComboBox& List(int id) const { return lists.at(id); }

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

// What a field's committed text stores (Enter or leaving the field). A
// setting's field takes only what its setting can hold: a whole number in its
// range (the debounce time 1..255), a text without control characters (cut
// to 31 bytes). Anything else is refused: the setting keeps its value, which
// the field shows again, and the result (the field's note) says why.
std::string CommitField(int id, std::string_view text, AppState& app);

// A check box of a flag setting clicked: the flag flips. False for any other id.
bool ClickSettingBox(int id, AppState& app);

// A list entry picked, by its index; an index outside the list changes nothing.
void PickListEntry(int id, int index, const MainWindowModel& window, AppState& app);

// Text typed into a list's field and committed: the entry with that text
// (letter case and blanks around it aside) is picked; any other text is
// dropped, since a list holds only its own entries.
void CommitListText(int id, std::string_view text, const MainWindowModel& window, AppState& app);

}  // namespace veltrane::ui
