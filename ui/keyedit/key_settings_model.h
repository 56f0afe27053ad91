// SPDX-License-Identifier: MIT
// The "Key Settings" dialog: one matrix position with its legend, used flags
// and the four layers' IBM keys and key types, stepping to the previous or
// next enabled position. Edits write through to the definition.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "ui/controls/controls.h"
#include "ui/controls/dialog_layout.h"
#include "ui/keyedit/key_before_edit.h"
#include "ui/keyedit/key_editing_host.h"
#include "ui/keyedit/type_ahead.h"

namespace veltrane::ui {

struct StringEditorModel;

inline constexpr std::string_view kKeySettingsTitle = "Key Settings";
// Placement and size of the dialog in pixels (template 135).
inline constexpr int kKeySettingsX = DialogUnitsX(150);
inline constexpr int kKeySettingsY = DialogUnitsY(20);
inline constexpr int kKeySettingsWidth = DialogUnitsX(396);
inline constexpr int kKeySettingsHeight = DialogUnitsY(327);

inline constexpr int kStringKeyTypeEntry = 17;
inline constexpr std::size_t kLegendLimit = 31;  // bytes: the record's field less its NUL

inline constexpr std::string_view kChosenNote = "Pending: OK assigns this key, Cancel drops it";
inline constexpr std::string_view kWantedTypeNote = "Pending: choose a key of this type";
inline constexpr std::string_view kMacroNote = "A macro: change it with Assign Macro";

struct KeySettingsLayer {
  CheckBox used;
  ComboBox ibmKey;
  ComboBox keyType;
  bool locked = false;  // a string layer: its macro changes through "Assign Macro" only
  int loadedRow = -1;   // the list entries the layer itself shows
  int loadedType = -1;
  int chosenRow = -1;   // a key chosen in the lists, assigned when the position is stored
  int wantedType = -1;  // a key type chosen, waiting for a key of that type
  std::string note;     // kChosenNote, kWantedTypeNote, kMacroNote or nothing
};

struct KeySettingsModel {
  CheckBox keyUsed;     // "This key is used"
  CheckBox keyEnabled;  // "Enable Key", disabled
  EditField legend;
  std::string positionText = "Col/Row";
  std::array<KeySettingsLayer, model::kLayerCount> layers{};
  bool running = false;
  int result = 0;  // 1 after "OK", 2 after "Cancel"
  TypeAhead typeAhead;
  int typeAheadList = 0;  // the list the typed prefix belongs to
  KeyBeforeEdit before;   // what "Cancel" gives back: remembered at the start and at each step
};

// The template's controls and the twelve created at the start, in pixels.
const std::vector<Control>& KeySettingsControls();

// The start of the dialog for EditTarget: lists filled, the key loaded, the
// string editor's KeySettingsDialogHandle set to this dialog.
void StartKeySettingsDialog(KeySettingsModel& dialog, StringEditorModel& editor,
                            KeyEditingContext& context);

// Shows the key; choices pending in the lists are dropped.
void LoadKeyIntoDialog(KeySettingsModel& dialog, const model::KeyboardDefinition& def,
                       const EditTarget& target);
// After the string editor assigned a layer of key `keyIndex`: when the dialog
// shows that key, it shows the new assignment and flags, and keeps the legend
// being typed and the other layers' pending choices.
void ShowEditorAssignment(KeySettingsModel& dialog, const model::KeyboardDefinition& def,
                          const EditTarget& target, int keyIndex, int layer);
// Legend (31 bytes) and the layers back into the key: a chosen key is
// assigned (AssignTableKey, the layer and key marked used), other layers get
// the IBM key shown written back. Complete derived, the main window repainted.
void StoreDialogIntoKey(const KeySettingsModel& dialog, KeyEditingContext& context);

// What the legend field keeps of a typed or pasted text: no control
// characters, at most 31 bytes, cut on a character boundary.
std::string FitLegendText(std::string_view typed);

// Move to the previous/next position whose enabled is exactly 1; with none
// they come back to the start after one round.
void StepToNextKey(const model::KeyboardDefinition& def, EditTarget& target);
void StepToPreviousKey(const model::KeyboardDefinition& def, EditTarget& target);

// A click or key of a control. Returns 0 while the dialog stays open, else
// its result (1 "OK", 2 "Cancel"); the check boxes flip their own mark here.
int OnKeySettingsCommand(KeySettingsModel& dialog, StringEditorModel& editor,
                         KeyEditingContext& context, int id);

// Whether an entry of one of the eight lists can be chosen: none in a string
// layer's lists, never the "String" row nor "String Key", types only when a
// key of theirs can be chosen, and keys only of the type asked for.
bool IsChoosable(const KeySettingsModel& dialog, int listId, int entry);

// An entry chosen in one of the eight lists (from its popup or by typing).
// A key is pending until the position is stored; a key type other than the
// shown key's asks for a key of that type. False when it cannot be chosen.
bool ChooseInKeySettingsList(KeySettingsModel& dialog, int listId, int entry);

// A character typed into one of the eight lists: the choosable entry whose
// text starts with the letters typed so far is chosen. Returns the selected entry.
int OnKeySettingsListChar(KeySettingsModel& dialog, int listId, char typed, std::int64_t nowMs);

}  // namespace veltrane::ui
