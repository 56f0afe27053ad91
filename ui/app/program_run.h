// SPDX-License-Identifier: MIT
// The window program's own steps at the start and the end of a run: where its
// own files go, what earlier runs left behind, the log, and the keyboard's
// matrix mode at the end.
#pragma once

#include <ctime>
#include <string>

#include "ui/app/app_state.h"
#include "ui/app/keyboard_link.h"
#include "ui/app/log_file.h"
#include "ui/app/services.h"

namespace veltrane::ui {

// The program's own files, in the state directory (fileaccess::StateDirectory):
// "vtlog.txt" and the directory "recovery/".
struct ProgramFiles {
  std::string log;
  std::string recovery;  // ends in "/"
};
ProgramFiles DefaultProgramFiles();

// How often, in seconds, a recovery copy may be written: 30, or
// VELTRANE_RECOVERY_SECONDS (1..3600) for tests that cannot wait.
int RecoveryPeriodSeconds();

// Removes the temporary files that saves cut short in earlier runs left where
// this run writes: the current directory, the command-line file's directory
// and the recovery directory. Only the program's own are removed
// (fileaccess::RemoveStaleTemporaries); every other file stays.
void RemoveLeftovers(const AppState& app, const ProgramFiles& files);

// Tells the user, once per run (`told`), that one of the program's own files
// cannot be written and the program goes on without it.
void TellOwnFileProblem(const Services& io, bool& told, const std::string& what,
                        const std::string& reason);

// Opens the log at `path`, its directory made first. Empty, or why there is
// no log, to be told (TellOwnFileProblem "The log PATH") once the window shows.
std::string OpenProgramLog(LogFile& log, const std::string& path, std::time_t now);

// At the end of a run (Exit, the close box, a signal): a keyboard that this
// run switched into matrix mode is switched back, so that no keyboard stays in
// that mode once the program is gone. Told in the log only.
void SwitchMatrixOffAtEnd(AppState& app, const Services& io, KeyboardLink& link);

}  // namespace veltrane::ui
