#include "ui/app/keyboard_commands.h"

#include <array>
#include <memory>

#include "eeprom/image_files.h"
#include "ui/app/file_commands.h"
#include "ui/app/image_commands.h"

namespace veltrane::ui {
ProgressStep StartTransferProgress(AppState& app) {
  ProgressBar& bar = app.progress;
  bar.SetRange(0, 100);
  bar.step = 1;
  bar.SetPosition(0);
  return [&bar] { bar.StepIt(); };
}

void DetectionStep(AppState& app, KeyboardLink& link) {
  SetVersionText(app, link.DetectKeyboard());
}

bool CheckKeyboardPresence(AppState& app, const Services& io, KeyboardLink& link,
                           const RepaintNow& repaint) {
  DetectionStep(app, link);
  bool loaded = true;
  const std::string path = app.doc.commandLineText;
  if (!path.empty() && HasUnsavedChanges(app)) {
    model::LogPrintf(&io.log, "Not loading %s: the definition was changed first\n", path.c_str());
    app.doc.commandLineText.clear();
  } else if (!path.empty()) {
    // Only the Load File and Save File dialogs choose a file name.
    const std::string chosen = app.doc.chosenFileName;
    loaded = LoadConfiguration(app, io, path) == persist::LoadOutcome::Loaded;
    app.doc.chosenFileName = chosen;
  }
  if (repaint) repaint();
  return loaded;
}

namespace {

// A command that needed the command-line file stops when it did not load.
void TellNotLoaded(const Services& io, const AppState& app, const char* what,
                   std::string_view caption) {
  io.messages.Show(model::FormatText("%s was not loaded, so %s.",
                                     FileNameOf(app.doc.commandLineText).c_str(), what),
                   caption, model::MessageIcon::Error);
}

}  // namespace

TransferOutcome PrepareDownload(AppState& app, const Services& io, KeyboardLink& link,
                                const RepaintNow& repaint) {
  io.messages.Show("Plug in the keyboard to program !", "Download",
                   model::MessageIcon::Information);
  DetectionStep(app, link);
  if (!CheckKeyboardPresence(app, io, link, repaint)) {
    TellNotLoaded(io, app, "nothing was programmed", "Download");
    return TransferOutcome::NotLoaded;
  }
  if (app.doc.firmwareVersion == 0) {
    ShowNoKeyboardFound(io);
    return TransferOutcome::NoKeyboard;
  }
  return BuildImageForUse(app, io) ? TransferOutcome::Done : TransferOutcome::Refused;
}

TransferOutcome ProgramKeyboard(AppState& app, const Services& io, KeyboardLink& link,
                                const RepaintNow& repaint) {
  if (const TransferOutcome ready = PrepareDownload(app, io, link, repaint);
      ready != TransferOutcome::Done)
    return ready;
  const ProgressStep step = StartTransferProgress(app);
  // A keyboard that could not be closed after the last report is not programmed for sure.
  if (link.ProgramFirmWare(app.doc.image, 0, eeprom::kKeyboardBytes, step) &&
      link.LastStatus() != LinkStatus::CloseFailed)
    return TransferOutcome::Done;
  io.messages.Show("Programming failed", "Programming", model::MessageIcon::Information);
  return TransferOutcome::Failed;
}

TransferOutcome ReadKeyboard(AppState& app, const Services& io, KeyboardLink& link,
                             const RepaintNow& repaint) {
  io.messages.Show("Plug in the keyboard to read !", "", model::MessageIcon::Information);
  DetectionStep(app, link);
  if (!CheckKeyboardPresence(app, io, link, repaint)) {
    TellNotLoaded(io, app, "the keyboard was not read", "Reading");
    return TransferOutcome::NotLoaded;
  }
  if (app.doc.firmwareVersion == 0) {
    ShowNoKeyboardFound(io);
    return TransferOutcome::NoKeyboard;
  }
  const ProgressStep step = StartTransferProgress(app);
  // Read over a copy: a failed read leaves the document's image as it was.
  auto image = std::make_unique<eeprom::EepromImage>(app.doc.image);
  if (!link.ReadFirmWare(*image, 0, eeprom::kKeyboardBytes, step)) {
    const bool closeOnly = link.LastStatus() == LinkStatus::CloseFailed;
    io.messages.Show(closeOnly ? "The keyboard was read completely, but it could not be closed; "
                                 "nothing was decoded."
                               : "The keyboard could not be read completely; nothing was decoded.",
                     "Reading", model::MessageIcon::Error);
    return TransferOutcome::Failed;
  }
  app.doc.image = *image;
  io.messages.Show("Keyboard read !", "Reading", model::MessageIcon::Information);
  const std::string copy = app.doc.dataDirectory + "EeProm.bin";
  if (app.doc.options.copyEepromBin && !WouldReplaceInput(io, app.doc.loadedFile, copy))
    TellIfUnwritten(io, eeprom::WriteReadBackCopy(app.doc.image, app.doc.dataDirectory), "Reading");
  DecodeReadImage(app);
  app.doc.commandLineText.clear();
  return TransferOutcome::Done;
}

bool SupportsMatrixSwitch(const std::string& versionText) {
  return !versionText.empty() && versionText[0] == 'V' &&
         versionText.find('X', 4) != std::string::npos;
}

bool EnableMatrix(AppState& app, const Services& io, KeyboardLink& link) {
  bool& enabled = app.doc.options.matrixEnabled;
  const bool before = enabled;
  enabled = SupportsMatrixSwitch(app.doc.versionText) && !enabled;
  const std::array<std::uint8_t, 4> block = {0, 0, 0, enabled ? kMatrixOn : kMatrixOff};
  const bool sent = link.ProgramFirmWare(block, kMatrixSwitchAddress, 4, [] {});
  // A switch on that did not arrive, or a switch off the keyboard refused, changes nothing.
  if (!sent && (enabled || (before && link.LastStatus() == LinkStatus::ReportFailed))) {
    enabled = before;
    io.messages.Show(enabled ? "The keyboard did not take the switch: its matrix stays on."
                             : "The keyboard did not take the switch: its matrix stays off.",
                     "Enable matrix", model::MessageIcon::Error);
  } else if (enabled) {
    io.messages.Show("Matrix enabled", "SetFocus", model::MessageIcon::None);
  }
  return sent;
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
