// SPDX-License-Identifier: MIT
#include "ui/main_window/main_window_controller.h"

#include <utility>

#include "ui/app/changed_download.h"
#include "ui/app/file_commands.h"
#include "ui/app/image_commands.h"
#include "ui/app/keyboard_access.h"
#include "ui/app/keyboard_commands.h"
#include "ui/app/picture_commands.h"
#include "ui/app/text_commands.h"
#include "ui/app/undo_commands.h"
#include "ui/controls/control_ids.h"
#include "ui/main_window/edit_commands.h"

namespace veltrane::ui {
namespace {

constexpr int kApostropheKey = 222;  // the key right of the semicolon key on a US layout

// Marks the window busy for one command, so that events delivered while it
// waits (a dialog, a transfer) start nothing else.
class BusyScope {
 public:
  explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
  ~BusyScope() { busy_ = false; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  bool& busy_;
};

// The per-run check boxes, each of which flips one option.
constexpr std::pair<int, bool RunOptions::*> kRunOptionBoxes[] = {
    {id::kWriteBin, &RunOptions::writeBinFile},
    {id::kWriteTxt, &RunOptions::writeTxtFile},
    {id::kCopyEepromBin, &RunOptions::copyEepromBin},
    {id::kWriteSavedTxt, &RunOptions::writeSavedTxt},
    {id::kChangedWordsOnly, &RunOptions::changedWordsOnly},
};

// While the production line runs over the definition, only commands that leave it as it is.
bool MayRunWhileLocked(const Services& io, int id) {
  switch (id) {
    case id::kAbout:
    case id::kTestKeyboard:
    case id::kExportText:
    case id::kExportPicture:
    case id::kPrint:
    case id::kProductionLine:
      return true;
    case id::kExit:
      io.messages.Show(
          "The production line is running. Stop it, and let its keyboards finish, before you exit.",
          "Production line", model::MessageIcon::Warning);
      return false;
    default:
      return false;
  }
}

}  // namespace

MainWindowController::MainWindowController(AppState& app, MainWindowModel& window,
                                           const Services& io, KeyboardLink& link, WindowHost& host)
    : app_(app), window_(window), io_(io), link_(link), host_(host) {}

void MainWindowController::OnCommand(int id) {
  if (window_.busy) return;
  if (app_.locked && !MayRunWhileLocked(io_, id)) return;
  {
    const BusyScope busy(window_.busy);
    if (id == id::kExit) {
      if (KeepOrSaveChanges()) {
        host_.Exit();
        return;
      }
    } else {
      const bool pending = !app_.doc.commandLineText.empty();
      RunCommand(id);
      RecordCommandStep(app_, id, pending);
    }
  }
  TellAccessProblemOnce(app_, io_, link_);
  Repaint();
}

void MainWindowController::RunCommand(int id) {
  for (const auto& [box, option] : kRunOptionBoxes) {
    if (box == id) {
      app_.doc.options.*option = !(app_.doc.options.*option);
      return;
    }
  }
  if (RunEditCommand({app_, window_, io_, host_}, id)) return;
  if (ClickSettingBox(id, app_)) return;
  if (id >= id::kFirstKeyButton && id <= id::kLastKeyButton) {
    const int index = id - id::kFirstKeyButton;
    OpenKeySettings(index / model::kColumns, index % model::kColumns);
    return;
  }
  switch (id) {
    case id::kLed1:
      return RunKeyLed(0);
    case id::kLed2:
      return RunKeyLed(1);
    case id::kLed3:
      return RunKeyLed(2);
    case id::kLed4:
      return RunKeyLed(3);
    case id::kGenerate:
      DetectionStep(app_, link_);
      Repaint();  // the version the detection found, before anything is said
      GenerateImageFiles(app_, io_);
      return;
    case id::kSave:
      Save();
      return;
    case id::kLoad:
      if (KeepOrSaveChanges()) LoadSettings();
      return;
    case id::kTestKeyboard:
      return host_.ShowTestWindow();
    case id::kEnableMatrix:
      EnableMatrix(app_, io_, link_);
      return;
    case id::kNewClearAll:
      if (KeepOrSaveChanges()) NewClearAll();
      return;
    case id::kProgram:
      if (app_.doc.options.changedWordsOnly)
        ProgramChangedWords(app_, io_, link_, {}, [this] { Repaint(); });
      else
        ProgramKeyboard(app_, io_, link_, [this] { Repaint(); });
      return;
    case id::kCheckPresence:
      CheckKeyboardPresence(app_, io_, link_, [this] { Repaint(); });
      return;
    case id::kEnablePointing:
      return TogglePointingDevice();
    case id::kRead:
      if (KeepOrSaveChanges()) ReadKeyboard(app_, io_, link_, [this] { Repaint(); });
      return;
    case id::kActivateBeep:
      return ToggleBeep();
    case id::kPointDevSet:
      return host_.RunPointingDevice(app_.doc.def.settings);
    case id::kExportText:
      ExportText(
          app_, io_, [this](const AcceptName& accept) { return host_.RunExportTextFile(accept); },
          [this](const std::string& question) {
            return host_.AskReplace(question, "Export as text");
          });
      return;
    case id::kImportText:
      if (KeepOrSaveChanges())
        if (const auto path = host_.RunImportTextFile()) ImportText(app_, io_, *path);
      return;
    case id::kExportPicture:
      ExportPicture(
          app_, io_,
          [this](const AcceptName& accept) { return host_.RunExportPictureFile(accept); },
          [this](const std::string& question) {
            return host_.AskReplace(question, kExportPictureCaption);
          });
      return;
    case id::kPrint:
      return host_.PrintPicture(PicturePages(app_));
    case id::kProductionLine:
      return host_.ShowProductionLine();
    case id::kAbout:
      return host_.RunAbout();
    default:
      return;
  }
}

// Committed texts and picks write through to the settings, also while a
// command runs: a field left for a dialog hands over what was typed.
void MainWindowController::OnFieldCommitted(int id, const std::string& text) {
  if (app_.locked) return;
  const std::string refused = CommitField(id, text, app_);
  if (const auto field = window_.fields.find(id); field != window_.fields.end())
    field->second.note = refused;
  RecordSettingStep();
  Repaint();
}

void MainWindowController::OnSelection(int id, int index) {
  if (window_.busy || app_.locked) return;
  PickListEntry(id, index, window_, app_);
  RecordSettingStep();
  Repaint();
}

void MainWindowController::OnListTextCommitted(int id, const std::string& text) {
  if (app_.locked) return;
  CommitListText(id, text, window_, app_);
  RecordSettingStep();
  Repaint();
}

void MainWindowController::OnMainWindowKey(int virtualKey) {
  if (window_.busy || app_.locked) return;
  MainWindowModel& w = window_;
  const bool letter = virtualKey >= 'A' && virtualKey <= 'P';
  if (virtualKey == kApostropheKey) {
    w.shortcutCount = 1;
  } else if (letter && w.shortcutCount != 0) {
    ++w.shortcutCount;
  } else {
    w.shortcutCount = 0;
  }
  if (w.shortcutCount == 2) w.shortcutRow = virtualKey - 'A';
  if (w.shortcutCount != 3) return;
  w.shortcutCount = 0;
  if (virtualKey > 'H') return;  // a column letter past "H" ends the sequence
  {
    const BusyScope busy(w.busy);
    OpenKeySettings(w.shortcutRow, virtualKey - 'A');
    RecordCommandStep(app_, id::kFirstKeyButton + model::KeyIndex(w.shortcutRow, virtualKey - 'A'),
                      false);
  }
  Repaint();
}

void MainWindowController::OnKeySelected(int keyIndex) {
  if (window_.busy || app_.locked || keyIndex < 0 || keyIndex >= model::kKeyCount) return;
  window_.selectedKey = keyIndex;
  Repaint();
}

void MainWindowController::OnKeyDropped(int from, int to, model::KeyMove how) {
  if (window_.busy || app_.locked) return;
  {
    const BusyScope busy(window_.busy);
    DropKey({app_, window_, io_, host_}, from, to, how);
  }
  Repaint();
}

void MainWindowController::RecordSettingStep() {
  RecordStep(app_, [this](const model::KeyboardDefinition& before) {
    return CommandStepName(id::kNone, before, app_);
  });
}

void MainWindowController::Repaint() {
  RefreshControls(app_, window_);
  host_.Repaint();
}

bool MainWindowController::KeepOrSaveChanges() {
  if (!HasUnsavedChanges(app_)) return true;
  switch (host_.AskSaveChanges(SaveChangesQuestion(app_))) {
    case SaveChoice::Save:
      return Save();
    case SaveChoice::Discard:
      return true;
    case SaveChoice::Cancel:
      return false;
  }
  return false;
}

bool MainWindowController::Save() {
  DetectionStep(app_, link_);
  Repaint();  // the version the detection found
  return SaveSettings(
             app_, io_, [this](const AcceptName& accept) { return host_.RunSaveFile(accept); },
             [this](const std::string& question) {
               return host_.AskReplace(question, "Save File");
             })
      .ok();
}

void MainWindowController::OpenKeySettings(int row, int column) {
  window_.editTarget = EditTarget{true, row, column};
  window_.selectedKey = model::KeyIndex(row, column);
  Repaint();  // the position shows the question mark while the dialog runs
  host_.RunKeySettings(app_.doc.def);
  window_.editTarget.editing = false;
}

void MainWindowController::RunKeyLed(int slot) {
  window_.ledSlot = slot;
  host_.RunKeyLed(app_.doc.def.settings);
}

void MainWindowController::LoadSettings() {
  // The Load File dialog loads the file it confirms; a cancelled or failed load changes nothing.
  if (const auto path = host_.RunLoadFile()) LoadConfiguration(app_, io_, *path);
}

void MainWindowController::NewClearAll() {
  model::KeyboardDefinition& def = app_.doc.def;
  model::ClearKeys(def);
  model::ClearStringWorkBuffer(def, true);
  model::ResetForNew(def.settings);
  // A new definition replaces the one a command-line file would have brought.
  app_.doc.commandLineText.clear();
  app_.doc.documentFile.clear();
  MarkKept(app_);
}

void MainWindowController::TogglePointingDevice() {
  model::Settings& s = app_.doc.def.settings;
  const bool on = (s.EnableBits & 0x02) == 0;
  s.EnableBits = static_cast<std::uint8_t>(on ? s.EnableBits | 0x02 : s.EnableBits & ~0x02);
  s.PointDevice = on ? 1 : 0;
  window_.List(id::kPointDevice).enabled = on;
}

void MainWindowController::ToggleBeep() {
  std::uint8_t& beep = app_.doc.def.settings.BeepLength;
  beep = beep != 0 ? 0 : 100;
}

}  // namespace veltrane::ui
