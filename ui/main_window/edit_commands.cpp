// SPDX-License-Identifier: MIT
#include "ui/main_window/edit_commands.h"

#include "ui/app/file_commands.h"
#include "ui/app/key_edits.h"
#include "ui/app/undo_commands.h"
#include "ui/controls/control_ids.h"
#include "ui/main_window/control_table.h"

namespace veltrane::ui {
namespace {

bool IsPosition(int index) {
  return index >= 0 && index < model::kKeyCount;
}

// Asks before an edit changes the key whose layer the Key Macro Tool holds:
// its "OK" would write over what the edit put there.
bool MayChange(const EditContext& edit, int from, int to, model::KeyMove how) {
  const int open = edit.host.KeyInKeyMacroTool();
  const bool touched = open == to || (open == from && how != model::KeyMove::Copy);
  if (!touched) return true;
  return edit.host.AskReplace(model::PositionName(open) +
                                  " is open in the Key Macro Tool, whose OK would write over "
                                  "it. " +
                                  KeyMoveName(from, to, how) + " anyway?",
                              "Key Macro Tool");
}

void RunLayerEdit(const EditContext& edit, model::LayerEdit kind) {
  const std::optional<LayerChoice> chosen = edit.host.RunLayerDialog(kind);
  if (!chosen) return;
  const Outcome done = Told(edit.io, Command::WriteFile,
                            EditLayersChecked(edit.app.doc.def, kind, chosen->from, chosen->to));
  if (done.ok()) RecordStep(edit.app, LayerEditName(kind, chosen->from, chosen->to));
}

void PasteKey(const EditContext& edit, model::KeyMove how) {
  MainWindowModel& w = edit.window;
  if (!IsPosition(w.markedKey) || !IsPosition(w.selectedKey)) return;
  // A moved key is no longer where it was cut; a copied one can be pasted again.
  if (DropKey(edit, w.markedKey, w.selectedKey, how) && how != model::KeyMove::Copy)
    w.markedKey = -1;
}

void Mark(MainWindowModel& w, bool forMove) {
  if (!IsPosition(w.selectedKey)) return;
  w.markedKey = w.selectedKey;
  w.markedForMove = forMove;
}

}  // namespace

bool RunEditCommand(const EditContext& edit, int id) {
  MainWindowModel& w = edit.window;
  switch (id) {
    case id::kUndo:
      UndoStep(edit.app);
      return true;
    case id::kRedo:
      RedoStep(edit.app);
      return true;
    case id::kCutKey:
      Mark(w, true);
      return true;
    case id::kCopyKey:
      Mark(w, false);
      return true;
    case id::kPasteKey:
      PasteKey(edit, w.markedForMove ? model::KeyMove::Move : model::KeyMove::Copy);
      return true;
    case id::kSwapKey:
      PasteKey(edit, model::KeyMove::Swap);
      return true;
    case id::kCopyLayer:
      RunLayerEdit(edit, model::LayerEdit::Copy);
      return true;
    case id::kSwapLayers:
      RunLayerEdit(edit, model::LayerEdit::Swap);
      return true;
    case id::kClearLayer:
      RunLayerEdit(edit, model::LayerEdit::Clear);
      return true;
    default:
      return false;
  }
}

bool DropKey(const EditContext& edit, int from, int to, model::KeyMove how) {
  if (!IsPosition(from) || !IsPosition(to) || from == to) return false;
  if (!MayChange(edit, from, to, how)) return false;
  const Outcome done =
      Told(edit.io, Command::WriteFile, MoveKeyChecked(edit.app.doc.def, from, to, how));
  if (!done.ok()) return false;
  RecordStep(edit.app, KeyMoveName(from, to, how));
  edit.window.selectedKey = to;
  return true;
}

std::string CommandStepName(int id, const model::KeyboardDefinition& before, const AppState& app) {
  if (const int key = KeyButtonIndex(id); key >= 0)
    return "Key Settings " + model::PositionName(key);
  const std::string file = FileNameOf(app.doc.documentFile);
  switch (id) {
    case id::kLoad:
    case id::kCheckPresence:
    case id::kProgram:  // both load a configuration file named on the command line first
      return "Load " + file;
    case id::kImportText:
      return "Import text " + file;
    case id::kRead:
      return "Read Keyboard EEProm";
    case id::kNewClearAll:
      return "New - Clear all";
    case id::kPointDevSet:
      return "Pointing Device";
    default:
      break;
  }
  const std::string settings = SettingsChangeName(before.settings, app.doc.def.settings);
  return settings.empty() ? "Edit" : settings;
}

void RecordCommandStep(AppState& app, int id, bool commandLineFilePending) {
  bool onlyWrites = false;
  switch (id) {
    case id::kProgram:
    case id::kCheckPresence:
      onlyWrites = !commandLineFilePending || !app.doc.commandLineText.empty();
      break;
    case id::kSave:
    case id::kGenerate:
    case id::kExportText:
    case id::kProductionLine:
    case id::kExportPicture:
    case id::kPrint:
      onlyWrites = true;
      break;
    default:
      break;
  }
  if (onlyWrites) return TakeWithoutStep(app);
  RecordStep(app, [&](const model::KeyboardDefinition& before) {
    return CommandStepName(id, before, app);
  });
}

void RefreshEditMenu(const AppState& app, MainWindowModel& w) {
  w.undoCaption = UndoCaption(app);
  w.redoCaption = RedoCaption(app);
  w.undoEnabled = !app.locked && app.history.UndoCount() > 0;
  w.redoEnabled = !app.locked && app.history.RedoCount() > 0;
}

}  // namespace veltrane::ui
