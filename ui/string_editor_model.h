// The "Key Macro Tool" window: the list of strokes for one layer, the ten
// modifier check boxes, key capture, the buttons that add strokes, and "OK"
// turning the list into the layer's assignment.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "ui/controls.h"
#include "ui/key_editing_host.h"
#include "ui/key_editing_layout.h"
#include "ui/string_assignment.h"

namespace veltrane::ui {

struct KeySettingsModel;

inline constexpr std::string_view kStringEditorTitle = "Key Macro Tool";
inline constexpr int kStringEditorWidth = 750;
inline constexpr int kStringEditorHeight = 520;

enum StringEditorId : int {
  kIdLeftMouse = 35128,
  kIdMiddleMouse = 35129,
  kIdRightMouse = 35130,
  kIdDelete = 35131,
  kIdClear = 35132,
  kIdCheckAlt = 35133,
  kIdCheckCtrlLeft = 35134,
  kIdCheckShiftLeft = 35135,
  kIdCheckBase = 35136,
  kIdCheckRepeatOff = 35137,
  kIdCheckAltGr = 35138,
  kIdStringEditorList = 35139,
  kIdFn1 = 35140,
  kIdFn2 = 35141,
  kIdGetFocus = 35142,
  kIdEcho = 35147,
  kIdMute = 35157,
  kIdVolumeUp = 35158,
  kIdVolumeDown = 35159,
  kIdCheckCtrlRight = 35160,
  kIdCheckShiftRight = 35161,
  kIdStopSun = 35165,
  kIdExtraKeys = 35188,
  kIdExtraKeysLabel = 35189,
  kIdFnLight = 35190,
  kIdCheckLightUp = 35191,
  kIdCheckLightDown = 35192,
};

// The list's tab stops in list-box units.
inline constexpr std::array<int, 7> kStringEditorTabStops = {45, 70, 100, 130, 160, 200, 210};
inline constexpr int kEchoX = 10;
inline constexpr int kEchoY = 265;

struct StringEditorModel {
  bool visible = false;
  std::vector<std::string> lines;  // StringEditorList
  int selection = -1;              // selected line, -1 for none
  ModifierFlags flags;
  ComboBox extraKeys;
  std::string echoText;      // the characters of the last captured key, drawn at (10, 265)
  std::string capacityText;  // the macro capacity gauge
  int editLayer = 0;         // EditLayer
  int fnLightKey = kNoFnLightKey;
  KeySettingsModel* keySettingsDialog = nullptr;  // KeySettingsDialogHandle
};

// The 29 controls in creation order, in pixels of the client area.
const std::vector<WindowControl>& StringEditorControls();
// Where the capacity gauge is shown, beside the echo area.
const WindowControl& CapacityGaugeControl();

// The window's creation: controls, "Extra Keys" filled with entry 0 selected,
// all flags false, the gauge for the definition.
void CreateStringEditor(StringEditorModel& editor, const model::KeyboardDefinition& def);

// The flag a check box id shows; nullptr for other ids.
bool* FlagOfCheckBox(ModifierFlags& flags, int id);
bool IsCheckBoxChecked(const StringEditorModel& editor, int id);

// "Assign Macro" of a layer: the list emptied and filled from the layer,
// EditLayer set, the window shown.
void OpenStringEditorForLayer(StringEditorModel& editor, KeyEditingContext& context, int layer);

enum class KeyAction { Press, Release };
// One key event: the set 1 scan code, the extended flag, Alt held when the key
// went down, and the characters the key produces under the current layout.
void CaptureKeystroke(StringEditorModel& editor, KeyAction action, int scanCode, bool extended,
                      bool altHeld, std::string_view characters = {});
// Key down and up as the window receives them; a key down while Alt is held
// (a system key) is a press followed at once by a release.
void OnStringEditorKeyDown(StringEditorModel& editor, int scanCode, bool extended, bool altHeld,
                           bool systemKey, std::string_view characters = {});
void OnStringEditorKeyUp(StringEditorModel& editor, int scanCode, bool extended, bool altHeld);

// A button or check box. Returns true when the window takes the keyboard
// focus back afterwards (the host has then been asked to focus it).
bool OnStringEditorCommand(StringEditorModel& editor, KeyEditingContext& context, int id);
// A selection accepted in the "Extra Keys" list.
void OnExtraKeySelected(StringEditorModel& editor, int entry);
// A click or selection change in the list.
void OnStringEditorListSelect(StringEditorModel& editor, int line);

void ReadFlagsFromLine(StringEditorModel& editor);
void RewriteSelectedLine(StringEditorModel& editor);

}  // namespace veltrane::ui
