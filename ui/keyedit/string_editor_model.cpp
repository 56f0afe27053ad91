// SPDX-License-Identifier: MIT
#include "ui/keyedit/string_editor_model.h"

#include "model/key_moves.h"
#include "model/key_tables.h"
#include "ui/keyedit/key_settings_model.h"
#include "ui/keyedit/macro_capacity.h"

namespace veltrane::ui {
namespace {

using K = ControlKind;

constexpr std::array<std::string_view, 13> kExtraKeyNames = {
    "", "F13", "F14", "F15", "F16", "F17", "F18", "F19", "F20", "F21", "F22", "F23", "F24"};

std::string_view ButtonLineName(int id) {
  switch (id) {
    case id::kLeftMouse:
      return "Left Mouse Button";
    case id::kMiddleMouse:
      return "Middle Mouse Button";
    case id::kRightMouse:
      return "Right Mouse Button";
    case id::kFn1:
      return "Fn1 Button";
    case id::kFn2:
      return "Fn2 Button";
    case id::kMute:
      return "Mute";
    case id::kVolumeUp:
      return "Volume up";
    case id::kVolumeDown:
      return "Volume down";
    case id::kStopSun:
      return "Stop SUN";
    case id::kFnLight:
      return kFnLightLine;
    default:
      return {};
  }
}

bool HasSelection(const StringEditorModel& editor) {
  return editor.selection >= 0 && editor.selection < static_cast<int>(editor.lines.size());
}

model::MacroStoreUse PendingStoreUse(const StringEditorModel& editor,
                                     const model::KeyboardDefinition& def) {
  return model::MeasureMacroStore(PendingStringLengths(def, editor.editKey, editor.editLayer,
                                                       static_cast<int>(editor.lines.size())));
}

// A list whose strokes would not fit the store is refused, unless the store
// is overfull already and the list makes it less so.
bool RefuseOverfullList(const StringEditorModel& editor, KeyEditingContext& context) {
  const model::MacroStoreUse pending = PendingStoreUse(editor, context.def);
  const model::MacroStoreUse now = model::MeasureMacroStore(context.def);
  if (pending.fits() || pending.entries() < now.entries()) return false;
  const int more = pending.entries() - model::kStoreEntries;
  context.messages.Show(
      model::FormatText("This macro needs %d more %s than the store has free (%d of %d used). "
                        "Shorten it, or free a macro.",
                        more, more == 1 ? "entry" : "entries", now.entries(), model::kStoreEntries),
      kStringEditorTitle, model::MessageIcon::Warning);
  return true;
}

// "OK" assigns to the position the list came from, even when the dialog has
// stepped on meanwhile. A refused list stays in the window to be mended.
void PressOk(StringEditorModel& editor, KeyEditingContext& context) {
  if (RefuseOverfullList(editor, context)) return;
  AssignmentContext assignment{context.def,       editor.editKey, editor.flags,
                               editor.fnLightKey, context.log,    context.messages};
  if (!ApplyStringEditorList(assignment, editor.editLayer, editor.lines)) return;
  editor.visible = false;
  context.host.HideStringEditor();
  model::KeyDefinition& key = context.def.keys[static_cast<std::size_t>(editor.editKey)];
  MarkLayerUsedIfAssigned(key, editor.editLayer);
  model::UpdateKeyComplete(key);
  if (editor.keySettingsDialog != nullptr) {
    ShowEditorAssignment(*editor.keySettingsDialog, context.def, context.target, editor.editKey,
                         editor.editLayer);
  }
  context.host.StepTaken("Assign Macro " + model::PositionName(editor.editKey));
  context.host.RepaintMainWindow();
}

// Runs a command that is not a check box or the list; false for "OK" and
// "Cancel", which leave the focus alone.
bool RunButton(StringEditorModel& editor, KeyEditingContext& context, int id) {
  if (id == id::kOk) {
    PressOk(editor, context);
    return false;
  }
  if (id == id::kCancel) {
    editor.visible = false;
    context.host.HideStringEditor();
    return false;
  }
  if (id == id::kDelete && HasSelection(editor)) {
    editor.lines.erase(editor.lines.begin() + editor.selection);
    editor.selection = -1;
  } else if (id == id::kClear) {
    editor.lines.clear();
    editor.selection = -1;
  } else if (const std::string_view name = ButtonLineName(id); !name.empty()) {
    editor.lines.push_back(PlainLine(name));
    if (id == id::kFnLight) editor.fnLightKey = editor.editKey;
  }
  return true;
}

constexpr int kScanCtrl = 0x1D, kScanShiftLeft = 0x2A, kScanShiftRight = 0x36, kScanAlt = 0x38;
constexpr int kScanPrintScreen = 0x37;  // extended

std::string TypedKeyName(int scanCode, bool extended) {
  const int row = model::RowOfTypedKey(scanCode, extended);
  // A key of no row keeps the name of its number, which OK refuses by name.
  if (row == 0) return "IBM Key 0";
  return std::string(model::IbmKeyTable[static_cast<std::size_t>(row)].legend);
}

// The box each modifier key holds; the left and right Alt keys are Alt and AltGr.
struct HeldBox {
  HeldKey key;
  bool ModifierFlags::*flag;
};
constexpr std::array<HeldBox, 6> kHeldBoxes = {{
    {kHeldCtrlLeft, &ModifierFlags::ctrlLeft},
    {kHeldCtrlRight, &ModifierFlags::ctrlRight},
    {kHeldShiftLeft, &ModifierFlags::shiftLeft},
    {kHeldShiftRight, &ModifierFlags::shiftRight},
    {kHeldAlt, &ModifierFlags::alt},
    {kHeldAltGr, &ModifierFlags::altGr},
}};

// The modifier key of a key event; 0 for any other key.
std::uint8_t ModifierKeyOf(const EditorKeyEvent& key) {
  const int s = key.scanCode;
  if (s == kScanCtrl) return key.extended ? kHeldCtrlRight : kHeldCtrlLeft;
  if (s == kScanShiftLeft) return kHeldShiftLeft;
  if (s == kScanShiftRight) return kHeldShiftRight;
  // The right Alt key is AltGr (the stroke's right Alt bit), not Alt.
  if (s == kScanAlt) return key.extended ? kHeldAltGr : kHeldAlt;
  return 0;
}

// The boxes of modifier keys no longer held go back to what the user ticked.
void ReleaseHeldBoxes(StringEditorModel& editor, std::uint8_t released) {
  for (const HeldBox& box : kHeldBoxes) {
    if ((released & box.key) == 0) continue;
    editor.flags.*box.flag = editor.ticked.*box.flag;
  }
  editor.heldKeys &= static_cast<std::uint8_t>(~released);
}

// Presses and releases of the modifier keys; false for any other key.
bool TrackModifier(StringEditorModel& editor, KeyAction action, const EditorKeyEvent& key) {
  const std::uint8_t held = ModifierKeyOf(key);
  if (held == 0) return false;
  // The left Alt key's box follows the key data's Alt bit, as the platform reports it.
  const bool down = held == kHeldAlt ? key.altHeld : action == KeyAction::Press;
  if (!down) {
    ReleaseHeldBoxes(editor, held);
    return true;
  }
  editor.heldKeys |= held;
  for (const HeldBox& box : kHeldBoxes)
    if (box.key == held) editor.flags.*box.flag = true;
  return true;
}

void AddTypedLine(StringEditorModel& editor, const EditorKeyEvent& key) {
  ModifierFlags f = editor.ticked;
  for (const HeldBox& box : kHeldBoxes)
    if ((editor.heldKeys & box.key) != 0) f.*box.flag = true;
  // Alt held through AltGr alone is no Alt.
  const bool altGrOnly = (editor.heldKeys & (kHeldAltGr | kHeldAlt)) == kHeldAltGr;
  f.alt = editor.ticked.alt || (key.altHeld && !altGrOnly);
  editor.flags = f;
  editor.lines.push_back({TypedKeyName(key.scanCode, key.extended), f, LineWriter::Captured});
  editor.echoText = key.characters;
}

}  // namespace

const std::vector<Control>& StringEditorControls() {
  static const std::vector<Control> controls = {
      {K::PushButton, id::kLeftMouse, "Left Mouse", {520, 30, 100, 20}},
      {K::PushButton, id::kMiddleMouse, "Middle Mouse", {570, 10, 100, 20}},
      {K::PushButton, id::kRightMouse, "Right Mouse", {620, 30, 100, 20}},
      {K::PushButton, id::kDelete, "Delete", {620, 90, 50, 20}},
      {K::PushButton, id::kClear, "Clear", {620, 110, 50, 20}},
      {K::PushButton, id::kOk, "OK", {620, 190, 50, 20}},
      {K::PushButton, id::kCancel, "Cancel", {620, 210, 50, 20}},
      {K::CheckBox, id::kCheckAlt, "Alt", {520, 110, 80, 20}},
      {K::CheckBox, id::kCheckCtrlLeft, "Ctrl left", {520, 130, 80, 20}},
      {K::CheckBox, id::kCheckShiftLeft, "Shift left", {520, 150, 80, 20}},
      {K::CheckBox, id::kCheckBase, "Base", {520, 170, 80, 20}},
      {K::CheckBox, id::kCheckRepeatOff, "Repeat Off", {520, 190, 100, 20}},
      {K::CheckBox, id::kCheckAltGr, "Alt-Gr", {520, 210, 80, 20}},
      {K::ListBox, id::kStringEditorList, "", {10, 10, 500, 240}},
      {K::PushButton, id::kFn1, "Fn1", {520, 50, 100, 20}},
      {K::PushButton, id::kFn2, "Fn2", {620, 50, 100, 20}},
      {K::PushButton, id::kGetFocus, "Get Focus", {10, 240, 300, 20}},
      {K::Static, id::kEcho, "", {kEchoX, kEchoY, 300, 15}},
      {K::PushButton, id::kVolumeUp, "Volume up", {110, 370, 100, 20}},
      {K::PushButton, id::kVolumeDown, "Volume down", {110, 390, 100, 20}},
      {K::PushButton, id::kStopSun, "Stop SUN", {110, 430, 100, 20}},
      {K::PushButton, id::kMute, "Mute", {110, 410, 100, 20}},
      {K::CheckBox, id::kCheckCtrlRight, "Ctrl right", {620, 130, 80, 20}},
      {K::CheckBox, id::kCheckShiftRight, "Shift right", {620, 150, 80, 20}},
      {K::DropDownList, id::kExtraKeys, "", {220, 390, 100, 500}},
      {K::Static, id::kExtraKeysLabel, "Extra Keys", {220, 370, 300, 20}},
      {K::PushButton, id::kFnLight, "Fn Light", {330, 370, 80, 20}},
      {K::CheckBox, id::kCheckLightUp, "Light Up", {330, 390, 80, 20}},
      {K::CheckBox, id::kCheckLightDown, "Light Down", {330, 410, 80, 20}},
  };
  return controls;
}

const Control& CapacityGaugeControl() {
  static const Control gauge{K::Static, id::kNone, "", {330, kEchoY, 180, 15}};
  return gauge;
}

void CreateStringEditor(StringEditorModel& editor, const model::KeyboardDefinition& def) {
  editor = StringEditorModel{};
  editor.extraKeys.FillFrom(kExtraKeyNames);
  editor.extraKeys.Select(0);
  editor.def = &def;
  RefreshCapacityGauge(editor);
}

void RefreshCapacityGauge(StringEditorModel& editor) {
  if (editor.def == nullptr) return;
  const model::MacroStoreUse use = PendingStoreUse(editor, *editor.def);
  editor.capacityText = MacroCapacityText(use);
  editor.capacityTooltip = MacroCapacityTooltip(use);
}

bool* FlagOfCheckBox(ModifierFlags& f, int id) {
  switch (id) {
    case id::kCheckAlt:
      return &f.alt;
    case id::kCheckCtrlLeft:
      return &f.ctrlLeft;
    case id::kCheckCtrlRight:
      return &f.ctrlRight;
    case id::kCheckShiftLeft:
      return &f.shiftLeft;
    case id::kCheckShiftRight:
      return &f.shiftRight;
    case id::kCheckBase:
      return &f.base;
    case id::kCheckRepeatOff:
      return &f.repeatOff;
    case id::kCheckAltGr:
      return &f.altGr;
    case id::kCheckLightUp:
      return &f.lightUp;
    case id::kCheckLightDown:
      return &f.lightDown;
    default:
      return nullptr;
  }
}

bool IsCheckBoxChecked(const StringEditorModel& editor, int id) {
  ModifierFlags flags = editor.flags;
  const bool* flag = FlagOfCheckBox(flags, id);
  return flag != nullptr && *flag;
}

void OpenStringEditorForLayer(StringEditorModel& editor, KeyEditingContext& context, int layer) {
  if (layer < 0 || layer >= model::kLayerCount) return;
  editor.lines.clear();
  editor.selection = -1;
  editor.editLayer = layer;
  editor.editKey = KeyIndexOf(context.target);
  // Boxes left from an earlier key would slip into this layer's strokes.
  editor.flags = {};
  editor.ticked = {};
  editor.heldKeys = 0;
  editor.printScreenDown = false;
  const model::KeyDefinition& key =
      context.def.keys[static_cast<std::size_t>(KeyIndexOf(context.target))];
  ShowLayerInStringEditor(context.def, key.layers[static_cast<std::size_t>(layer)], editor.lines);
  editor.def = &context.def;
  RefreshCapacityGauge(editor);
  editor.visible = true;
  context.host.ShowStringEditor();
}

void CaptureKeystroke(StringEditorModel& editor, KeyAction action, const EditorKeyEvent& key) {
  if (TrackModifier(editor, action, key)) return;
  const bool printScreen = key.scanCode == kScanPrintScreen && key.extended;
  if (action == KeyAction::Press) {
    AddTypedLine(editor, key);
    if (printScreen) editor.printScreenDown = true;
    RefreshCapacityGauge(editor);
    return;
  }
  // Where the platform reports Print Screen only when it is released, the
  // release is the stroke; one press is one stroke either way.
  if (printScreen) {
    if (!editor.printScreenDown)
      editor.lines.push_back(PlainLine(TypedKeyName(kScanPrintScreen, true)));
    editor.printScreenDown = false;
    RefreshCapacityGauge(editor);
  }
}

void OnStringEditorKeyDown(StringEditorModel& editor, const EditorKeyEvent& key) {
  CaptureKeystroke(editor, KeyAction::Press, key);
  // Releasing at once matters to the modifiers alone; Alt, AltGr and Print
  // Screen keep their state until their own release.
  const bool keepsState =
      key.scanCode == kScanAlt || (key.scanCode == kScanPrintScreen && key.extended);
  if (key.systemKey && !keepsState) CaptureKeystroke(editor, KeyAction::Release, key);
}

void OnStringEditorKeyUp(StringEditorModel& editor, const EditorKeyEvent& key) {
  CaptureKeystroke(editor, KeyAction::Release, key);
}

void OnStringEditorFocusLost(StringEditorModel& editor) {
  ReleaseHeldBoxes(editor, editor.heldKeys);
}

bool OnStringEditorCommand(StringEditorModel& editor, KeyEditingContext& context, int id) {
  if (bool* flag = FlagOfCheckBox(editor.flags, id)) {
    // A click is the user's: the box keeps what it shows now, whatever key is held.
    *flag = !*flag;
    *FlagOfCheckBox(editor.ticked, id) = *flag;
    for (const HeldBox& box : kHeldBoxes)
      if (&(editor.flags.*box.flag) == flag) editor.heldKeys &= static_cast<std::uint8_t>(~box.key);
    RewriteSelectedLine(editor);
    return false;
  }
  if (id == id::kStringEditorList) {
    ReadFlagsFromLine(editor);
    return false;
  }
  if (id == id::kExtraKeys) return false;
  const bool focusBack = RunButton(editor, context, id);
  RefreshCapacityGauge(editor);
  if (!focusBack) return false;
  context.host.FocusStringEditor();
  return true;
}

bool OnExtraKeySelected(StringEditorModel& editor, int entry) {
  editor.extraKeys.Select(entry);
  if (entry >= 1 && entry < static_cast<int>(kExtraKeyNames.size()))
    editor.lines.push_back(PlainLine(kExtraKeyNames[static_cast<std::size_t>(entry)]));
  RefreshCapacityGauge(editor);
  return true;
}

void OnStringEditorListSelect(StringEditorModel& editor, int line) {
  editor.selection = (line >= 0 && line < static_cast<int>(editor.lines.size())) ? line : -1;
  ReadFlagsFromLine(editor);
}

void ReadFlagsFromLine(StringEditorModel& editor) {
  if (!HasSelection(editor)) return;
  const MacroLine& line = editor.lines[static_cast<std::size_t>(editor.selection)];
  // A bare line has no columns to read: the boxes stay as they are.
  if (line.writer != LineWriter::Bare) editor.flags = ShownFlags(line);
}

void RewriteSelectedLine(StringEditorModel& editor) {
  if (!HasSelection(editor)) return;
  MacroLine& line = editor.lines[static_cast<std::size_t>(editor.selection)];
  line.flags = editor.flags;
  line.writer = LineWriter::Rewritten;
}

}  // namespace veltrane::ui
