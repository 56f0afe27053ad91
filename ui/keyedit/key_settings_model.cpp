// SPDX-License-Identifier: MIT
#include "ui/keyedit/key_settings_model.h"

#include "model/key_moves.h"
#include "model/key_tables.h"
#include "ui/keyedit/string_assignment.h"
#include "ui/keyedit/string_editor_model.h"

namespace veltrane::ui {
namespace {

using K = ControlKind;

Control InDialogUnits(K kind, std::string_view text, int x, int y, int w, int h, int id,
                      bool enabled = true) {
  return {kind, id, text, DialogUnitsRect(x, y, w, h), enabled};
}

std::vector<Control> BuildControls() {
  std::vector<Control> c = {
      InDialogUnits(K::DefaultButton, "OK", 339, 1, 50, 14, id::kOk),
      InDialogUnits(K::PushButton, "Cancel", 339, 24, 50, 14, id::kCancel),
      InDialogUnits(K::Label, "Column/Row (Sns/Drv):", 7, 1, 81, 8, id::kNone),
      InDialogUnits(K::Label, "Col/Row", 93, 1, 43, 9, id::kPosition),
      InDialogUnits(K::CheckBox, "Enable Key", 7, 14, 78, 12, id::kKeyEnabled, false),
      InDialogUnits(K::CheckBox, "This key is used", 7, 26, 75, 14, id::kKeyUsed),
      InDialogUnits(K::Label, "Legend:", 132, 16, 29, 9, id::kNone),
      InDialogUnits(K::Edit, "", 172, 15, 84, 12, id::kLegend),
      InDialogUnits(K::Label, "Logical Address:", 132, 28, 55, 10, id::kNone),
      InDialogUnits(K::GroupBox, "No Fn2 / No Fn1", 7, 42, 174, 119, id::kGroupFirst),
      InDialogUnits(K::GroupBox, "No Fn2 / Fn1", 189, 42, 186, 118, id::kGroupFirst + 1),
      InDialogUnits(K::GroupBox, "Fn2 / No Fn1", 7, 168, 173, 128, id::kGroupFirst + 2),
      InDialogUnits(K::GroupBox, "Fn2 / Fn1", 189, 168, 186, 127, id::kGroupFirst + 3),
      InDialogUnits(K::CheckBox, "Used", 13, 52, 32, 11, id::kLayerUsedFirst),
      InDialogUnits(K::CheckBox, "Used", 195, 54, 32, 11, id::kLayerUsedFirst + 1),
      InDialogUnits(K::CheckBox, "Used", 14, 178, 32, 11, id::kLayerUsedFirst + 2),
      InDialogUnits(K::CheckBox, "Used", 197, 178, 31, 12, id::kLayerUsedFirst + 3),
  };
  // The template gives these labels a place but no size of note.
  constexpr int kIbmLabel[4][2] = {{14, 66}, {195, 67}, {15, 192}, {197, 193}};
  constexpr int kTypeLabel[4][2] = {{13, 123}, {197, 122}, {13, 255}, {197, 254}};
  for (const auto& at : kIbmLabel)
    c.push_back(InDialogUnits(K::Label, "IBM Key:", at[0], at[1], 30, 8, id::kNone));
  for (const auto& at : kTypeLabel)
    c.push_back(InDialogUnits(K::Label, "Key Type:", at[0], at[1], 32, 8, id::kNone));
  c.push_back(InDialogUnits(K::PushButton, "<<< Previous", 114, 304, 65, 16, id::kPrevious));
  c.push_back(InDialogUnits(K::PushButton, "Next >>>", 187, 302, 62, 18, id::kNext));

  constexpr int kGroupAt[4][2] = {{75, 100}, {350, 100}, {75, 307}, {350, 307}};
  constexpr int kTypeListY[4] = {195, 195, 410, 410};
  constexpr int kButtonY[4] = {225, 225, 440, 440};
  for (int layer = 0; layer < 4; ++layer) {
    const int x = kGroupAt[layer][0];
    c.push_back(
        {K::ChoiceList, id::kIbmKeyListFirst + layer, "", {x, kGroupAt[layer][1], 180, 300}});
    c.push_back(
        {K::ChoiceList, id::kKeyTypeListFirst + layer, "", {x, kTypeListY[layer], 180, 300}});
    c.push_back({K::PushButton,
                 id::kAssignMacroFirst + layer,
                 "Assign Macro",
                 {x, kButtonY[layer], 180, 20}});
  }
  // Between the two lists: whether the layer's choice is pending.
  for (int layer = 0; layer < 4; ++layer)
    c.push_back({K::Static,
                 id::kLayerNoteFirst + layer,
                 "",
                 {kGroupAt[layer][0], kGroupAt[layer][1] + 30, 180, 50}});
  return c;
}

model::KeyDefinition& KeyAt(model::KeyboardDefinition& def, const EditTarget& target) {
  return def.keys[static_cast<std::size_t>(KeyIndexOf(target))];
}

bool IsStepStop(const model::KeyboardDefinition& def, const EditTarget& target) {
  return def.keys[static_cast<std::size_t>(KeyIndexOf(target))].enabled == 1;
}

template <typename Move>
void Step(const model::KeyboardDefinition& def, EditTarget& target, Move move) {
  // One round at most: with no enabled position the step ends where it began.
  for (int step = 0; step < model::kKeyCount; ++step) {
    move(target);
    if (IsStepStop(def, target)) return;
  }
}

void EndDialog(KeySettingsModel& dialog, int result) {
  dialog.running = false;
  dialog.result = result;
}

// The position stored as one step: "Key Settings 3/5".
void StoreAsStep(const KeySettingsModel& dialog, KeyEditingContext& context) {
  StoreDialogIntoKey(dialog, context);
  context.host.StepTaken("Key Settings " + model::PositionName(KeyIndexOf(context.target)));
}

void StoreStepLoad(KeySettingsModel& dialog, KeyEditingContext& context, bool forward) {
  StoreAsStep(dialog, context);
  if (forward) {
    StepToNextKey(context.def, context.target);
  } else {
    StepToPreviousKey(context.def, context.target);
  }
  LoadKeyIntoDialog(dialog, context.def, context.target);
  dialog.before = RememberKey(context.def, KeyIndexOf(context.target));
  context.host.RepaintMainWindow();
}

struct ListRef {
  int layer = -1;        // -1: the id is none of the eight lists
  bool keyList = false;  // the IBM key list, else the key type list
};

ListRef ListOf(int id) {
  for (int layer = 0; layer < model::kLayerCount; ++layer) {
    if (id == id::kIbmKeyListFirst + layer) return {layer, true};
    if (id == id::kKeyTypeListFirst + layer) return {layer, false};
  }
  return {};
}

template <typename Dialog>
auto& GroupOf(Dialog& dialog, const ListRef& list) {
  return dialog.layers[static_cast<std::size_t>(list.layer)];
}

constexpr std::uint8_t kTypeBits = 0x3F;

// A row a layer may be given in the lists: not the "String" row, whose
// number would be taken for a string number.
bool IsChoosableRow(int row) {
  const model::IbmKeyRow* entry = model::IbmKeyRowAt(row);
  return entry != nullptr && entry->type != model::STRING_KEY;
}

bool HasChoosableRowOfType(int type) {
  for (int row = 0; row < model::kIbmKeyRowCount; ++row)
    if (IsChoosableRow(row) && model::IbmKeyTable[static_cast<std::size_t>(row)].type == type)
      return true;
  return false;
}

int TypeOfRow(int row) {
  const model::IbmKeyRow* entry = model::IbmKeyRowAt(row);
  return entry == nullptr ? -1 : entry->type;
}

void ShowLoaded(KeySettingsLayer& group) {
  group.ibmKey.Select(group.loadedRow);
  group.keyType.Select(group.loadedType);
  group.chosenRow = -1;
  group.wantedType = -1;
  group.note.clear();
}

void ChooseRow(KeySettingsLayer& group, int row) {
  if (row == group.loadedRow && TypeOfRow(row) == group.loadedType) {
    ShowLoaded(group);  // the layer's own key: nothing to assign
    return;
  }
  group.chosenRow = row;
  group.wantedType = -1;
  group.ibmKey.Select(row);
  group.keyType.Select(TypeOfRow(row));
  group.note = std::string(kChosenNote);
}

void ChooseType(KeySettingsLayer& group, int type) {
  if (TypeOfRow(group.ibmKey.selection) == type) return;  // the key shown is of that type
  if (type == group.loadedType && TypeOfRow(group.loadedRow) == type) {
    ShowLoaded(group);
    return;
  }
  group.chosenRow = -1;
  group.wantedType = type;
  group.ibmKey.Select(-1);
  group.keyType.Select(type);
  group.note = std::string(kWantedTypeNote);
}

}  // namespace

const std::vector<Control>& KeySettingsControls() {
  static const std::vector<Control> controls = BuildControls();
  return controls;
}

void StartKeySettingsDialog(KeySettingsModel& dialog, StringEditorModel& editor,
                            KeyEditingContext& context) {
  dialog = KeySettingsModel{};
  dialog.keyEnabled.enabled = false;
  for (KeySettingsLayer& group : dialog.layers) {
    group.keyType.FillFrom(model::KeyTypeNames);
    group.ibmKey.items.clear();
    for (const model::IbmKeyRow& row : model::IbmKeyTable)
      group.ibmKey.items.emplace_back(row.legend);
  }
  LoadKeyIntoDialog(dialog, context.def, context.target);
  dialog.before = RememberKey(context.def, KeyIndexOf(context.target));
  dialog.running = true;
  editor.keySettingsDialog = &dialog;
}

std::string FitLegendText(std::string_view typed) {
  std::string kept;
  for (std::size_t i = 0; i < typed.size(); ++i) {
    const auto byte = static_cast<unsigned char>(typed[i]);
    if (byte < 0x20 || byte == 0x7F) continue;
    // C1 controls (U+0080..U+009F) are C2 80..C2 9F in UTF-8.
    if (byte == 0xC2 && i + 1 < typed.size()) {
      const auto next = static_cast<unsigned char>(typed[i + 1]);
      if (next >= 0x80 && next <= 0x9F) {
        ++i;
        continue;
      }
    }
    kept += typed[i];
  }
  return model::CutText(kept, kLegendLimit);
}

void LoadKeyIntoDialog(KeySettingsModel& dialog, const model::KeyboardDefinition& def,
                       const EditTarget& target) {
  const model::KeyDefinition& key = def.keys[static_cast<std::size_t>(KeyIndexOf(target))];
  dialog.keyUsed.checked = key.used != 0;
  dialog.keyEnabled.checked = key.enabled != 0;
  for (std::size_t i = 0; i < dialog.layers.size(); ++i)
    dialog.layers[i].used.checked = key.layers[i].used != 0;
  for (std::size_t i = 0; i < dialog.layers.size(); ++i)
    dialog.layers[i].keyType.Select(key.layers[i].keytype);
  dialog.legend.text = std::string(model::FieldText(key.legend));
  for (std::size_t i = 0; i < dialog.layers.size(); ++i)
    dialog.layers[i].ibmKey.Select(key.layers[i].ibmkey);
  dialog.positionText = model::FormatText("%d/%d", target.column, target.row);
  for (std::size_t i = 0; i < dialog.layers.size(); ++i) {
    KeySettingsLayer& group = dialog.layers[i];
    group.locked = (key.layers[i].keytype & kTypeBits) == model::STRING_KEY;
    group.loadedRow = group.ibmKey.selection;
    group.loadedType = group.keyType.selection;
    ShowLoaded(group);
  }
}

void ShowEditorAssignment(KeySettingsModel& dialog, const model::KeyboardDefinition& def,
                          const EditTarget& target, int keyIndex, int layer) {
  if (KeyIndexOf(target) != keyIndex) return;
  const std::string legend = dialog.legend.text;
  const auto kept = dialog.layers;
  LoadKeyIntoDialog(dialog, def, target);
  dialog.legend.text = legend;
  for (std::size_t i = 0; i < dialog.layers.size(); ++i) {
    const KeySettingsLayer& was = kept[i];
    if (static_cast<int>(i) == layer || (was.chosenRow < 0 && was.wantedType < 0)) continue;
    KeySettingsLayer& group = dialog.layers[i];
    group.ibmKey.selection = was.ibmKey.selection;
    group.keyType.selection = was.keyType.selection;
    group.chosenRow = was.chosenRow;
    group.wantedType = was.wantedType;
    group.note = was.note;
  }
}

void StoreDialogIntoKey(const KeySettingsModel& dialog, KeyEditingContext& context) {
  model::KeyDefinition& key = KeyAt(context.def, context.target);
  model::SetFieldText(key.legend, dialog.legend.text);
  for (std::size_t i = 0; i < dialog.layers.size(); ++i) {
    const KeySettingsLayer& group = dialog.layers[i];
    if (group.chosenRow >= 0) {
      model::AssignTableKey(key.layers[i], group.chosenRow);
      MarkLayerUsedIfAssigned(key, static_cast<int>(i));
    } else if (group.wantedType < 0 && group.keyType.selection != kStringKeyTypeEntry) {
      // A type without its key yet changes nothing.
      key.layers[i].ibmkey = static_cast<std::uint8_t>(group.ibmKey.selection);
    }
  }
  model::LogPrintf(context.log, "StoreEveryThing bIBMKey = ");
  model::UpdateKeyComplete(key);
  context.host.RepaintMainWindow();
}

void StepToNextKey(const model::KeyboardDefinition& def, EditTarget& target) {
  Step(def, target, [](EditTarget& t) {
    if (++t.column == model::kColumns) {
      t.column = 0;
      t.row = (t.row + 1) % model::kRows;
    }
  });
}

void StepToPreviousKey(const model::KeyboardDefinition& def, EditTarget& target) {
  Step(def, target, [](EditTarget& t) {
    if (--t.column < 0) {
      t.column = model::kColumns - 1;
      t.row = (t.row + model::kRows - 1) % model::kRows;
    }
  });
}

int OnKeySettingsCommand(KeySettingsModel& dialog, StringEditorModel& editor,
                         KeyEditingContext& context, int id) {
  model::KeyDefinition& key = KeyAt(context.def, context.target);
  if (id == id::kKeyUsed) {
    dialog.keyUsed.checked = !dialog.keyUsed.checked;
    key.used ^= 1;
    context.host.RepaintMainWindow();
  } else if (id >= id::kLayerUsedFirst && id < id::kLayerUsedFirst + model::kLayerCount) {
    const auto layer = static_cast<std::size_t>(id - id::kLayerUsedFirst);
    dialog.layers[layer].used.checked = !dialog.layers[layer].used.checked;
    key.layers[layer].used ^= 1;
  } else if (id >= id::kAssignMacroFirst && id < id::kAssignMacroFirst + model::kLayerCount) {
    OpenStringEditorForLayer(editor, context, id - id::kAssignMacroFirst);
  } else if (id == id::kPrevious || id == id::kNext) {
    StoreStepLoad(dialog, context, id == id::kNext);
  } else if (id == id::kOk) {
    StoreAsStep(dialog, context);
    EndDialog(dialog, 1);
  } else if (id == id::kCancel) {
    RestoreKey(dialog.before, context.def);
    context.host.StepTaken("Cancel Key Settings " +
                           model::PositionName(KeyIndexOf(context.target)));
    context.host.RepaintMainWindow();
    EndDialog(dialog, 2);
  }
  return dialog.running ? 0 : dialog.result;
}

bool IsChoosable(const KeySettingsModel& dialog, int listId, int entry) {
  const ListRef list = ListOf(listId);
  if (list.layer < 0 || GroupOf(dialog, list).locked) return false;
  if (list.keyList) {
    const int wanted = GroupOf(dialog, list).wantedType;
    return IsChoosableRow(entry) && (wanted < 0 || TypeOfRow(entry) == wanted);
  }
  return entry >= 0 && entry < model::kKeyTypeCount && entry != model::STRING_KEY &&
         HasChoosableRowOfType(entry);
}

bool ChooseInKeySettingsList(KeySettingsModel& dialog, int listId, int entry) {
  if (!IsChoosable(dialog, listId, entry)) return false;
  const ListRef list = ListOf(listId);
  if (list.keyList) {
    ChooseRow(GroupOf(dialog, list), entry);
  } else {
    ChooseType(GroupOf(dialog, list), entry);
  }
  return true;
}

int OnKeySettingsListChar(KeySettingsModel& dialog, int listId, char typed, std::int64_t nowMs) {
  const ListRef list = ListOf(listId);
  if (list.layer < 0) return -1;
  KeySettingsLayer& group = GroupOf(dialog, list);
  ComboBox& shown = list.keyList ? group.ibmKey : group.keyType;
  if (group.locked) {
    group.note = std::string(kMacroNote);
    return shown.selection;
  }
  if (dialog.typeAheadList != listId) dialog.typeAhead = TypeAhead{};
  dialog.typeAheadList = listId;
  // Entries that cannot be chosen are passed over.
  std::vector<std::string> choosable(shown.items.size());
  for (std::size_t i = 0; i < choosable.size(); ++i)
    if (IsChoosable(dialog, listId, static_cast<int>(i))) choosable[i] = shown.items[i];
  const int entry = TypeAheadSelect(dialog.typeAhead, choosable, shown.selection, typed, nowMs);
  if (entry >= 0 && entry != shown.selection) ChooseInKeySettingsList(dialog, listId, entry);
  return shown.selection;
}

}  // namespace veltrane::ui
