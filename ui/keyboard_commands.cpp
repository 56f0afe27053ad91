#include "ui/keyboard_commands.h"

#include <array>

#include "eeprom/image_files.h"
#include "ui/file_commands.h"
#include "ui/image_commands.h"
#include "ui/progress_bar.h"

namespace veltrane::ui {
namespace {

void StartTransferProgress(AppState& app) {
  app.progress.SetRange(0, 100);
  app.progress.step = 1;
  app.progress.SetPosition(0);
}

}  // namespace

void DetectionStep(AppState& app, KeyboardLink& link) {
  std::array<char, 256> text{};
  link.DetectKeyboard(text.data());
  text.back() = '\0';
  SetVersionText(app, text.data());
}

void CheckKeyboardPresence(AppState& app, KeyboardLink& link) {
  DetectionStep(app, link);
  if (app.commandLineText.empty()) return;
  const std::string path = app.commandLineText;
  app.commandLineText.clear();  // later presses only detect
  LoadConfiguration(app, path);
  app.window.fileName.text = app.chosenFileName;
}

TransferOutcome ProgramKeyboard(AppState& app, KeyboardLink& link) {
  app.messages->Show("Plug in the keyboard to program !", "Download",
                     model::MessageIcon::Information);
  DetectionStep(app, link);
  CheckKeyboardPresence(app, link);
  if (app.firmwareVersion == 0) {
    ShowNoKeyboardFound(app);
    return TransferOutcome::NoKeyboard;
  }
  if (!BuildImageForUse(app)) return TransferOutcome::Refused;
  StartTransferProgress(app);
  const int result =
      link.ProgramFirmWare(app.image.data(), 0, eeprom::kKeyboardBytes, ProgressStep);
  if (result != 0) return TransferOutcome::Done;
  app.messages->Show("Programming failed", "Programming", model::MessageIcon::Information);
  return TransferOutcome::Failed;
}

TransferOutcome ReadKeyboard(AppState& app, KeyboardLink& link,
                             const std::optional<std::string>& copyPath) {
  model::ClearKeys(app.def);
  app.messages->Show("Plug in the keyboard to read !", "", model::MessageIcon::Information);
  DetectionStep(app, link);
  CheckKeyboardPresence(app, link);
  if (app.firmwareVersion == 0) {
    ShowNoKeyboardFound(app);
    return TransferOutcome::NoKeyboard;
  }
  StartTransferProgress(app);
  if (link.ReadFirmWare(app.image.data(), 0, eeprom::kKeyboardBytes, ProgressStep) == 0) {
    app.messages->Show("The keyboard could not be read completely; nothing was decoded.", "Reading",
                       model::MessageIcon::Error);
    return TransferOutcome::Failed;
  }
  app.messages->Show("Keyboard read !", "Reading", model::MessageIcon::Information);
  if (copyPath) {
    // A copy asked for by name is not dropped silently.
    eeprom::WriteOrTell(*copyPath, eeprom::WriteBinFile(*copyPath, app.image), *app.messages);
  } else if (app.options.copyEepromBin) {
    eeprom::WriteReadBackCopy(app.image, app.dataDirectory);
  }
  DecodeReadImage(app);
  return TransferOutcome::Done;
}

bool SupportsMatrixSwitch(const std::string& versionText) {
  return !versionText.empty() && versionText[0] == 'V' &&
         versionText.find('X', 4) != std::string::npos;
}

void EnableMatrix(AppState& app, KeyboardLink& link) {
  app.options.matrixEnabled = SupportsMatrixSwitch(app.versionText) && !app.options.matrixEnabled;
  app.window.matrix.checked = app.options.matrixEnabled;
  std::array<unsigned char, 4> block = {0, 0, 0,
                                        app.options.matrixEnabled ? kMatrixOn : kMatrixOff};
  if (app.options.matrixEnabled)
    app.messages->Show("Matrix enabled", "SetFocus", model::MessageIcon::None);
  link.ProgramFirmWare(block.data(), kMatrixSwitchAddress, 4, ProgressStep);
}

}  // namespace veltrane::ui
