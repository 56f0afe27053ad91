#include "ui/keyboard_commands.h"

#include <array>

#include "eeprom/image_files.h"
#include "ui/file_commands.h"
#include "ui/image_commands.h"

namespace veltrane::ui {

ProgressStep StartTransferProgress(AppState& app) {
  ProgressBar& bar = app.window.progress;
  bar.SetRange(0, 100);
  bar.step = 1;
  bar.SetPosition(0);
  return [&bar] { bar.StepIt(); };
}

void DetectionStep(AppState& app, KeyboardLink& link) {
  SetVersionText(app, link.DetectKeyboard());
}

void CheckKeyboardPresence(AppState& app, const Services& io, KeyboardLink& link) {
  DetectionStep(app, link);
  if (app.doc.commandLineText.empty()) return;
  const std::string path = app.doc.commandLineText;
  app.doc.commandLineText.clear();  // later presses only detect
  // Only the Load File and Save File dialogs choose a file name.
  const std::string chosen = app.doc.chosenFileName;
  LoadConfiguration(app, io, path);
  app.window.fileName.text = FileNameOf(path);
  app.doc.chosenFileName = chosen;
}

TransferOutcome PrepareDownload(AppState& app, const Services& io, KeyboardLink& link) {
  io.messages.Show("Plug in the keyboard to program !", "Download",
                   model::MessageIcon::Information);
  DetectionStep(app, link);
  CheckKeyboardPresence(app, io, link);
  if (app.doc.firmwareVersion == 0) {
    ShowNoKeyboardFound(io);
    return TransferOutcome::NoKeyboard;
  }
  return BuildImageForUse(app, io) ? TransferOutcome::Done : TransferOutcome::Refused;
}

TransferOutcome ProgramKeyboard(AppState& app, const Services& io, KeyboardLink& link) {
  if (const TransferOutcome ready = PrepareDownload(app, io, link); ready != TransferOutcome::Done)
    return ready;
  const ProgressStep step = StartTransferProgress(app);
  if (link.ProgramFirmWare(app.doc.image, 0, eeprom::kKeyboardBytes, step))
    return TransferOutcome::Done;
  io.messages.Show("Programming failed", "Programming", model::MessageIcon::Information);
  return TransferOutcome::Failed;
}

TransferOutcome ReadKeyboard(AppState& app, const Services& io, KeyboardLink& link) {
  model::ClearKeys(app.doc.def);
  io.messages.Show("Plug in the keyboard to read !", "", model::MessageIcon::Information);
  DetectionStep(app, link);
  CheckKeyboardPresence(app, io, link);
  if (app.doc.firmwareVersion == 0) {
    ShowNoKeyboardFound(io);
    return TransferOutcome::NoKeyboard;
  }
  const ProgressStep step = StartTransferProgress(app);
  if (!link.ReadFirmWare(app.doc.image, 0, eeprom::kKeyboardBytes, step)) {
    io.messages.Show("The keyboard could not be read completely; nothing was decoded.", "Reading",
                     model::MessageIcon::Error);
    return TransferOutcome::Failed;
  }
  io.messages.Show("Keyboard read !", "Reading", model::MessageIcon::Information);
  if (app.doc.options.copyEepromBin &&
      !WouldReplaceInput(io, app.doc.loadedFile, app.doc.dataDirectory + "EeProm.bin")) {
    eeprom::WriteReadBackCopy(app.doc.image, app.doc.dataDirectory);
  }
  DecodeReadImage(app);
  return TransferOutcome::Done;
}

bool SupportsMatrixSwitch(const std::string& versionText) {
  return !versionText.empty() && versionText[0] == 'V' &&
         versionText.find('X', 4) != std::string::npos;
}

bool EnableMatrix(AppState& app, const Services& io, KeyboardLink& link) {
  bool& enabled = app.doc.options.matrixEnabled;
  enabled = SupportsMatrixSwitch(app.doc.versionText) && !enabled;
  app.window.matrix.checked = enabled;
  const std::array<std::uint8_t, 4> block = {0, 0, 0, enabled ? kMatrixOn : kMatrixOff};
  if (enabled) io.messages.Show("Matrix enabled", "SetFocus", model::MessageIcon::None);
  return link.ProgramFirmWare(block, kMatrixSwitchAddress, 4, [] {});
}

MatrixOutcome SwitchMatrix(AppState& app, const Services& io, KeyboardLink& link, bool on) {
  DetectionStep(app, link);
  if (!SupportsMatrixSwitch(app.doc.versionText)) {
    io.messages.Show(
        model::FormatText("The keyboard \"%s\" has no matrix switch", app.doc.versionText.c_str()),
        "Enable matrix", model::MessageIcon::Error);
    return MatrixOutcome::Unsupported;
  }
  app.doc.options.matrixEnabled = !on;  // the command flips it to the wanted state
  return EnableMatrix(app, io, link) ? MatrixOutcome::Switched : MatrixOutcome::Failed;
}

}  // namespace veltrane::ui
