// The "Key Settings" dialog: one matrix position with its legend, used flags
// and the four layers' IBM keys and key types, stepping to the previous or
// next enabled position. Edits write through to the definition.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/key_editing_host.h"
#include "ui/key_editing_layout.h"
#include "ui/type_ahead.h"

namespace veltrane::ui {

struct StringEditorModel;

inline constexpr std::string_view kKeySettingsTitle = "Key Settings";
// Placement and size of the dialog in pixels (template 135).
inline constexpr int kKeySettingsX = DialogUnitsX(150);
inline constexpr int kKeySettingsY = DialogUnitsY(20);
inline constexpr int kKeySettingsWidth = DialogUnitsX(396);
inline constexpr int kKeySettingsHeight = DialogUnitsY(327);

enum KeySettingsId : int {
  kIdKeyUsed = 1000,
  kIdKeyEnabled = 1001,
  kIdLayerUsedFirst = 1002,   // 1002..1005
  kIdIbmKeyListFirst = 1006,  // 1006..1009
  kIdGroupFirst = 1039,       // 1039..1042
  kIdLegend = 1049,
  kIdPrevious = 1050,
  kIdNext = 1051,
  kIdPosition = 1052,
  kIdKeyTypeListFirst = 35112,  // 35112..35115
  kIdAssignMacroFirst = 35143,  // 35143..35146
};

inline constexpr int kStringKeyTypeEntry = 17;

struct KeySettingsLayer {
  CheckBox used;
  ComboBox ibmKey;   // disabled: display only
  ComboBox keyType;  // disabled: display only
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
};

// The template's controls and the twelve created at the start, in pixels.
const std::vector<WindowControl>& KeySettingsControls();

// The start of the dialog for EditTarget: lists filled, the key loaded, the
// string editor's KeySettingsDialogHandle set to this dialog.
void StartKeySettingsDialog(KeySettingsModel& dialog, StringEditorModel& editor,
                            KeyEditingContext& context);

void LoadKeyIntoDialog(KeySettingsModel& dialog, const model::KeyboardDefinition& def,
                       const EditTarget& target);
// Legend (31 characters) and the IBM keys back into the key, complete derived,
// the main window repainted.
void StoreDialogIntoKey(const KeySettingsModel& dialog, KeyEditingContext& context);

// Move to the previous/next position whose enabled is exactly 1; with none
// they come back to the start after one round.
void StepToNextKey(const model::KeyboardDefinition& def, EditTarget& target);
void StepToPreviousKey(const model::KeyboardDefinition& def, EditTarget& target);

// A click or key of a control. Returns 0 while the dialog stays open, else
// its result (1 "OK", 2 "Cancel"); the check boxes flip their own mark here.
int OnKeySettingsCommand(KeySettingsModel& dialog, StringEditorModel& editor,
                         KeyEditingContext& context, int id);

// A character typed into one of the eight lists: the entry whose text starts
// with the letters typed so far is selected. Returns the selected entry.
int OnKeySettingsListChar(KeySettingsModel& dialog, int listId, char typed, std::int64_t nowMs);

}  // namespace veltrane::ui
