#include "ui/main_window_controller.h"

#include "ui/changed_download.h"
#include "ui/control_ids.h"
#include "ui/file_commands.h"
#include "ui/image_commands.h"
#include "ui/keyboard_access.h"
#include "ui/keyboard_commands.h"
#include "ui/text_commands.h"

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

void Flip(std::uint8_t& value) {
  value = value == 0 ? 1 : 0;
}

// While the production line runs over the definition, only commands that leave it as it is.
bool MayRunWhileLocked(const Services& io, int id) {
  switch (id) {
    case id::kAbout:
    case id::kTestKeyboard:
    case id::kExportText:
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

MainWindowController::MainWindowController(AppState& app, const Services& io, KeyboardLink& link,
                                           WindowHost& host)
    : app_(app), io_(io), link_(link), host_(host) {}

void MainWindowController::OnCommand(int id) {
  if (app_.window.busy) return;
  if (app_.window.locked && !MayRunWhileLocked(io_, id)) return;
  {
    const BusyScope busy(app_.window.busy);
    if (id == id::kExit) {
      if (KeepOrSaveChanges()) {
        host_.Exit();
        return;
      }
    } else {
      RunCommand(id);
    }
  }
  TellAccessProblemOnce(app_, io_, link_);
  Repaint();
}

void MainWindowController::RunCommand(int id) {
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
      return GenerateImageFiles(app_, io_);
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
    case id::kGlobalRepeat:
      return Flip(app_.doc.def.settings.GlobalRepeatDisable);
    case id::kAnyKeyRelease:
      return Flip(app_.doc.def.settings.AnyKeyRelease);
    case id::kPrefixMakeBreak:
      return Flip(app_.doc.def.settings.PrefixMakeBreak);
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
      return host_.RunPointingDevice();
    case id::kWriteBin:
      app_.doc.options.writeBinFile = !app_.doc.options.writeBinFile;
      return;
    case id::kWriteTxt:
      app_.doc.options.writeTxtFile = !app_.doc.options.writeTxtFile;
      return;
    case id::kCopyEepromBin:
      app_.doc.options.copyEepromBin = !app_.doc.options.copyEepromBin;
      return;
    case id::kWriteSavedTxt:
      app_.doc.options.writeSavedTxt = !app_.doc.options.writeSavedTxt;
      return;
    case id::kChangedWordsOnly:
      app_.doc.options.changedWordsOnly = !app_.doc.options.changedWordsOnly;
      return;
    case id::kExportText:
      ExportText(app_, io_, [this] { return host_.RunExportTextFile(); });
      return;
    case id::kImportText:
      if (KeepOrSaveChanges())
        if (const auto path = host_.RunImportTextFile()) ImportText(app_, io_, *path);
      return;
    case id::kProductionLine:
      return host_.ShowProductionLine();
    case id::kAbout:
      return host_.RunAbout();
    default:
      return;
  }
}

void MainWindowController::OnFieldEdited(int id, const std::string& text) {
  if (app_.window.busy || app_.window.locked) return;
  MainWindowModel& w = app_.window;
  model::GlobalSettings& s = app_.doc.def.settings;
  switch (id) {
    case id::kGain:
      SetGainText(w, s, text);
      break;
    case id::kBeepLength:
      SetBeepText(w, s, text);
      break;
    case id::kDebounce:
      w.debounce.text = text;
      break;
    case id::kSerial:
      w.serial.text = text;
      break;
    case id::kVersion:
      w.version.text = text;
      break;
    default:
      return;
  }
  Repaint();
}

void MainWindowController::OnSelection(int id, int index) {
  if (app_.window.busy || app_.window.locked) return;
  MainWindowModel& w = app_.window;
  switch (id) {
    case id::kRepeatDelay:
      w.repeatDelay.Select(index);
      break;
    case id::kRepeatRate:
      w.repeatRate.Select(index);
      break;
    case id::kMaxScanRow:
      w.maxScanRow.Select(index);
      break;
    case id::kPointDevice:
      w.pointDevice.Select(index);
      break;
    default:
      return;
  }
  Repaint();
}

void MainWindowController::OnMainWindowKey(int virtualKey) {
  if (app_.window.busy || app_.window.locked) return;
  MainWindowModel& w = app_.window;
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
  }
  Repaint();
}

void MainWindowController::Repaint() {
  RefreshControls(app_);
  host_.Repaint();
}

bool MainWindowController::KeepOrSaveChanges() {
  if (!HasUnsavedChanges(app_)) return true;
  switch (host_.AskSaveChanges(app_.window.fileName.text)) {
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
  return SaveSettings(app_, io_, [this] { return host_.RunSaveFile(); });
}

void MainWindowController::OpenKeySettings(int row, int column) {
  app_.window.editTarget = EditTarget{true, row, column};
  Repaint();  // the position shows the question mark while the dialog runs
  host_.RunKeySettings();
  app_.window.editTarget.editing = false;
}

void MainWindowController::RunKeyLed(int slot) {
  app_.window.ledSlot = slot;
  host_.RunKeyLed();
}

void MainWindowController::LoadSettings() {
  // The Load File dialog loads the file it confirms; a cancelled or failed load changes nothing.
  if (const auto path = host_.RunLoadFile()) LoadConfiguration(app_, io_, *path);
}

void MainWindowController::NewClearAll() {
  model::KeyboardDefinition& def = app_.doc.def;
  MainWindowModel& w = app_.window;
  model::ClearKeys(def);
  model::ClearStringWorkBuffer(def, true);
  w.fileName.text = std::string(kDefaultFileName);
  def.settings.GlobalRepeatDisable = 0;
  def.settings.AnyKeyRelease = 0;
  def.settings.PrefixMakeBreak = 0;
  w.repeatDelay.Select(1);
  w.repeatRate.Select(7);
  w.debounce.text = "28";
  SetGainText(w, def.settings, "1");
  w.maxScanRow.Select(13);
  w.pointDevice.Select(0);
  def.settings.Led1 = def.settings.Led2 = def.settings.Led3 = def.settings.Led4 = 0;
  // A new definition replaces the one a command-line file would have brought.
  app_.doc.commandLineText.clear();
  MarkKept(app_);
}

void MainWindowController::TogglePointingDevice() {
  std::uint8_t& bits = app_.doc.def.settings.EnableBits;
  MainWindowModel& w = app_.window;
  const bool on = (bits & 0x02) == 0;
  bits = static_cast<std::uint8_t>(on ? bits | 0x02 : bits & ~0x02);
  w.pointDevice.Select(on ? 1 : 0);
  w.pointDevice.enabled = on;
}

void MainWindowController::ToggleBeep() {
  model::GlobalSettings& s = app_.doc.def.settings;
  MainWindowModel& w = app_.window;
  if (s.BeepLength != 0) {
    s.BeepLength = 0;
    w.beepLength.enabled = false;
    SetBeepText(w, s, "0");
  } else {
    s.BeepLength = 100;
    w.beepLength.enabled = true;
    SetBeepText(w, s, "100");
  }
}

}  // namespace veltrane::ui
