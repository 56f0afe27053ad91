// SPDX-License-Identifier: MIT
// The "Key Macro Tool" window: the list of strokes for one layer, the ten
// modifier check boxes, key capture, the buttons that add strokes, and "OK"
// turning the list into the layer's assignment.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/controls/controls.h"
#include "ui/controls/dialog_layout.h"
#include "ui/keyedit/key_editing_host.h"
#include "ui/keyedit/string_assignment.h"

namespace veltrane::ui {

struct KeySettingsModel;

inline constexpr std::string_view kStringEditorTitle = "Key Macro Tool";
inline constexpr int kStringEditorWidth = 750;
inline constexpr int kStringEditorHeight = 520;

// The list's tab stops in list-box units.
inline constexpr std::array<int, 7> kStringEditorTabStops = {45, 70, 100, 130, 160, 200, 210};
inline constexpr int kEchoX = 10;
inline constexpr int kEchoY = 265;

// The modifier keys held down, as the window saw them pressed and released.
enum HeldKey : std::uint8_t {
  kHeldCtrlLeft = 1,
  kHeldCtrlRight = 2,
  kHeldShiftLeft = 4,
  kHeldShiftRight = 8,
  kHeldAlt = 16,
  kHeldAltGr = 32,
};

struct StringEditorModel {
  bool visible = false;
  std::vector<MacroLine> lines;  // StringEditorList
  int selection = -1;            // selected line, -1 for none
  ModifierFlags flags;           // what the ten check boxes show
  // The boxes the user ticked by hand: they go into every captured line until
  // unticked. Boxes set by a modifier key follow that key (heldKeys).
  ModifierFlags ticked;
  ComboBox extraKeys;
  std::string echoText;         // the characters of the last captured key, drawn at (10, 265)
  std::string capacityText;     // the macro store gauge, the list counted as if accepted
  std::string capacityTooltip;  // where the gauge's number comes from
  const model::KeyboardDefinition* def = nullptr;  // what the gauge measures
  int editLayer = 0;                               // EditLayer
  int editKey = 0;  // the position the list was filled from: "OK" assigns to it
  int fnLightKey = kNoFnLightKey;
  std::uint8_t heldKeys = 0;                      // HeldKey bits
  bool printScreenDown = false;                   // its press made a line: the release makes none
  KeySettingsModel* keySettingsDialog = nullptr;  // KeySettingsDialogHandle
};

// The 29 controls in creation order, in pixels of the client area.
const std::vector<Control>& StringEditorControls();
// Where the capacity gauge is shown, beside the echo area.
const Control& CapacityGaugeControl();

// The window's creation: controls, "Extra Keys" filled with entry 0 selected,
// all flags false, the gauge for the definition.
void CreateStringEditor(StringEditorModel& editor, const model::KeyboardDefinition& def);

// The gauge for the definition with the list as if "OK" were pressed now.
// Every change of the list here refreshes it; the window refreshes it when
// the definition changed elsewhere.
void RefreshCapacityGauge(StringEditorModel& editor);

// The flag a check box id shows; nullptr for other ids.
bool* FlagOfCheckBox(ModifierFlags& flags, int id);
bool IsCheckBoxChecked(const StringEditorModel& editor, int id);

// "Assign Macro" of a layer: the list emptied and filled from the layer,
// EditLayer set, the check boxes cleared, the window shown.
void OpenStringEditorForLayer(StringEditorModel& editor, KeyEditingContext& context, int layer);

// One key event as the window receives it.
struct EditorKeyEvent {
  int scanCode = 0;        // set 1 make code, 0 for keys that have none
  bool extended = false;   // E0 key; right Alt (AltGr) is 0x38 extended
  bool altHeld = false;    // Alt held when the key went down (the key data's context bit)
  bool systemKey = false;  // pressed while Alt is held, or F10
  std::string characters;  // what the key produces under the current layout, UTF-8
};

enum class KeyAction { Press, Release };
// One key press or release. Ctrl, Shift, Alt and AltGr set their check boxes
// while held; a release gives the box back to what the user ticked. Any other
// key becomes a line carrying the ticked boxes and the held modifiers; the
// boxes then show those, so that nothing a clicked line showed in them slips
// into the new stroke.
void CaptureKeystroke(StringEditorModel& editor, KeyAction action, const EditorKeyEvent& key);
// Key down and up as the window receives them; a key down while Alt is held
// (a system key) is a press followed at once by a release.
void OnStringEditorKeyDown(StringEditorModel& editor, const EditorKeyEvent& key);
void OnStringEditorKeyUp(StringEditorModel& editor, const EditorKeyEvent& key);
// The window lost the keyboard: the releases of keys held now go elsewhere,
// so their boxes go back to what the user ticked.
void OnStringEditorFocusLost(StringEditorModel& editor);

// A button or check box. Returns true when the window takes the keyboard
// focus back afterwards (the host has then been asked to focus it).
bool OnStringEditorCommand(StringEditorModel& editor, KeyEditingContext& context, int id);
// A selection accepted in the "Extra Keys" list. Returns true: the window
// takes the keyboard focus back, so that the next key is captured.
bool OnExtraKeySelected(StringEditorModel& editor, int entry);
// A click or selection change in the list.
void OnStringEditorListSelect(StringEditorModel& editor, int line);

// The selected line's columns shown in the check boxes; the boxes written
// into the selected line.
void ReadFlagsFromLine(StringEditorModel& editor);
void RewriteSelectedLine(StringEditorModel& editor);

}  // namespace veltrane::ui
