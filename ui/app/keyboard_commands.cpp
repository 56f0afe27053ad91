// SPDX-License-Identifier: MIT
#include "ui/app/keyboard_commands.h"

#include <array>
#include <memory>

#include "eeprom/image_files.h"
#include "link/nirvex.h"
#include "ui/app/file_commands.h"
#include "ui/app/image_commands.h"
#include "ui/app/load.h"
#include "ui/app/verify.h"

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

Outcome LoadCommandLineFile(AppState& app, const Services& io) {
  const std::string path = app.doc.commandLineText;
  if (path.empty()) return {};
  if (Load(app, io, {LoadKind::CommandLineFile, path}).ok()) return {};
  Outcome notLoaded{Result::NotLoaded};
  notLoaded.path = path;
  return notLoaded;
}

Outcome CheckKeyboardPresence(AppState& app, const Services& io, KeyboardLink& link,
                              const RepaintNow& repaint) {
  DetectionStep(app, link);
  Outcome outcome;
  const std::string& path = app.doc.commandLineText;
  if (!path.empty() && HasUnsavedChanges(app)) {
    model::LogPrintf(&io.log, "Not loading %s: the definition was changed first\n", path.c_str());
    app.doc.commandLineText.clear();
  } else {
    outcome = LoadCommandLineFile(app, io);
  }
  if (repaint) repaint();
  return outcome;
}

namespace {

// What the detection found, as the commands that need a keyboard go by.
Outcome KeyboardFound(const AppState& app) {
  return app.doc.firmwareVersion == 0 ? Outcome{Result::NoKeyboard} : Outcome{};
}

// A transfer that returned `done`, judged with the status the link kept.
Outcome Transferred(bool done, LinkStatus status) {
  // A keyboard that could not be closed after the last report holds the block, but not for sure.
  if (done && status != LinkStatus::CloseFailed) return {};
  return {Result::TransferFailed, status};
}

// The download and its read-back; a keyboard that does not hold what was
// sent is "Programming failed" and the verify line.
Outcome DownloadVerified(AppState& app, const Services& io, KeyboardLink& link, Verify verify) {
  const auto image = std::span<const std::uint8_t>(app.doc.image).first(eeprom::kKeyboardBytes);
  auto read = std::make_unique<eeprom::EepromImage>();
  const ReadBackDownload done =
      link.ProgramAndReadBack(image, 0, eeprom::kKeyboardBytes, *read, StartTransferProgress(app));
  if (Outcome written = Transferred(done.written, done.status); !written.ok())
    return Told(io, Command::Program, written);
  const ByteDifference difference =
      done.readBack ? CompareBytes(image, std::span(*read).first(eeprom::kKeyboardBytes))
                    : ByteDifference{};
  if (done.readBack && difference.count == 0) {
    if (verify == Verify::Told) TellVerifyResult(io, difference);
    return {};
  }
  const Outcome failed{Result::TransferFailed, link.LastStatus()};
  Tell(io, Command::Program, failed);
  if (done.readBack)
    TellVerifyResult(io, difference);
  else
    TellUnverified(io);
  return failed;
}

}  // namespace

Outcome PrepareDownload(AppState& app, const Services& io, KeyboardLink& link,
                        const RepaintNow& repaint) {
  Tell(io, Notice::PlugInToProgram);
  DetectionStep(app, link);
  if (Outcome checked = CheckKeyboardPresence(app, io, link, repaint); !checked.ok())
    return Told(io, Command::Program, checked);
  if (Outcome found = KeyboardFound(app); !found.ok()) return Told(io, Command::Program, found);
  return BuildImageForUse(app, io);
}

Outcome ProgramKeyboard(AppState& app, const Services& io, KeyboardLink& link,
                        const RepaintNow& repaint, Verify verify) {
  if (Outcome ready = PrepareDownload(app, io, link, repaint); !ready.ok()) return ready;
  if (verify != Verify::Off) return DownloadVerified(app, io, link, verify);
  const ProgressStep step = StartTransferProgress(app);
  const bool written = link.ProgramFirmWare(app.doc.image, 0, eeprom::kKeyboardBytes, step);
  return Told(io, Command::Program, Transferred(written, link.LastStatus()));
}

Outcome ReadKeyboard(AppState& app, const Services& io, KeyboardLink& link,
                     const RepaintNow& repaint) {
  Tell(io, Notice::PlugInToRead);
  DetectionStep(app, link);
  if (Outcome checked = CheckKeyboardPresence(app, io, link, repaint); !checked.ok())
    return Told(io, Command::Read, checked);
  if (Outcome found = KeyboardFound(app); !found.ok()) return Told(io, Command::Read, found);
  const ProgressStep step = StartTransferProgress(app);
  // Read over a copy: a failed read leaves the document's image as it was.
  auto image = std::make_unique<eeprom::EepromImage>(app.doc.image);
  const bool read = link.ReadFirmWare(*image, 0, eeprom::kKeyboardBytes, step);
  // A read that could not close the keyboard again is not a read.
  if (!read) return Told(io, Command::Read, {Result::TransferFailed, link.LastStatus()});
  app.doc.image = *image;
  DecodeReadImage(app, io);
  app.doc.commandLineText.clear();
  if (repaint) repaint();  // the keys read are shown before anything is said about them
  Tell(io, Notice::KeyboardRead);
  const std::string copy = app.doc.dataDirectory + "EeProm.bin";
  if (app.doc.options.copyEepromBin && !WouldReplaceInput(io, app.doc.loadedFile, copy))
    Tell(io, Command::Read,
         WrittenFile(eeprom::WriteReadBackCopy(app.doc.image, app.doc.dataDirectory), copy));
  return {};
}

bool SupportsMatrixSwitch(const std::string& versionText) {
  return !versionText.empty() && versionText[0] == 'V' &&
         versionText.find('X', 4) != std::string::npos;
}

Outcome EnableMatrix(AppState& app, const Services& io, KeyboardLink& link) {
  bool& enabled = app.doc.options.matrixEnabled;
  const bool before = enabled;
  enabled = SupportsMatrixSwitch(app.doc.versionText) && !enabled;
  const std::uint8_t byte = enabled ? NIRVEX_MATRIX_ON : NIRVEX_MATRIX_OFF;
  const std::array<std::uint8_t, 4> block = {0, 0, 0, byte};
  const bool sent = link.ProgramFirmWare(block, NIRVEX_MATRIX_SWITCH, 4, [] {});
  const LinkStatus status = link.LastStatus();
  // A switch on that did not arrive, or a switch off the keyboard refused, changes nothing.
  if (!sent && (enabled || (before && status == LinkStatus::ReportFailed))) {
    enabled = before;
    return Told(io, enabled ? Command::MatrixOn : Command::MatrixOff,
                {Result::TransferFailed, status});
  }
  if (enabled) Tell(io, Notice::MatrixEnabled);
  return sent && status == LinkStatus::Ok ? Outcome{} : Outcome{Result::TransferFailed, status};
}

Outcome SwitchMatrix(AppState& app, const Services& io, KeyboardLink& link, bool on) {
  DetectionStep(app, link);
  if (!SupportsMatrixSwitch(app.doc.versionText)) {
    Outcome unsupported{Result::Unsupported};
    unsupported.versionText = app.doc.versionText;
    return Told(io, on ? Command::MatrixOn : Command::MatrixOff, unsupported);
  }
  app.doc.options.matrixEnabled = !on;  // the command flips it to the wanted state
  return EnableMatrix(app, io, link);
}

}  // namespace veltrane::ui
