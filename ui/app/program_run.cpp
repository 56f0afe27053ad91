// SPDX-License-Identifier: MIT
#include "ui/app/program_run.h"

#include <array>
#include <cstdlib>

#include "fileaccess/paths.h"
#include "fileaccess/stale_temporaries.h"
#include "fileaccess/state_directory.h"
#include "link/nirvex.h"

namespace veltrane::ui {

ProgramFiles DefaultProgramFiles() {
  const std::string state = fileaccess::StateDirectory();
  if (state.empty()) return {};
  return ProgramFiles{state + kLogFileName, state + "recovery/"};
}

int RecoveryPeriodSeconds() {
  const char* text = std::getenv("VELTRANE_RECOVERY_SECONDS");
  const int seconds = text != nullptr ? std::atoi(text) : 0;
  return seconds >= 1 && seconds <= 3600 ? seconds : 30;
}

void RemoveLeftovers(const AppState& app, const ProgramFiles& files) {
  fileaccess::RemoveStaleTemporaries(".");
  if (!app.doc.commandLineText.empty())
    fileaccess::RemoveStaleTemporaries(fileaccess::DirectoryOf(app.doc.commandLineText));
  if (!files.recovery.empty()) fileaccess::RemoveStaleTemporaries(files.recovery);
}

void TellOwnFileProblem(const Services& io, bool& told, const std::string& what,
                        const std::string& reason) {
  model::LogPrintf(&io.log, "%s cannot be written: %s\n", what.c_str(), reason.c_str());
  if (told) return;
  told = true;
  io.messages.Show(what + " cannot be written: " + reason + ". The program goes on without it.",
                   "Veltrane", model::MessageIcon::Warning);
}

std::string OpenProgramLog(LogFile& log, const std::string& path, std::time_t now) {
  if (path.empty()) return "there is no home directory";
  const fileaccess::Status made = fileaccess::MakeDirectories(fileaccess::DirectoryOf(path));
  if (!made) return made.reason;
  return log.Open(path, now) ? std::string() : log.LastError();
}

void SwitchMatrixOffAtEnd(AppState& app, const Services& io, KeyboardLink& link) {
  if (!app.doc.options.matrixEnabled) return;
  const std::array<std::uint8_t, 4> block = {0, 0, 0, NIRVEX_MATRIX_OFF};
  const bool sent = link.ProgramFirmWare(block, NIRVEX_MATRIX_SWITCH, 4, [] {});
  if (sent && link.LastStatus() == LinkStatus::Ok) {
    app.doc.options.matrixEnabled = false;
    model::LogPrintf(&io.log, "Matrix switched off at the end of the run\n");
  } else {
    model::LogPrintf(&io.log, "Matrix could not be switched off at the end of the run\n");
  }
}

}  // namespace veltrane::ui
