// SPDX-License-Identifier: MIT
// The window program's start, before its window shows: the clean-up after
// earlier runs, the log, the command-line file; and the title's note of the
// keyboards that NIRVEX_DEVICE chooses. A front end shows what is held.
#pragma once

#include <ctime>
#include <string>

#include "ui/app/app_state.h"
#include "ui/app/log_file.h"
#include "ui/app/program_run.h"
#include "ui/app/services.h"

namespace veltrane::ui {

inline constexpr const char* kDeviceVariable = "NIRVEX_DEVICE";

// What the start leaves to be told once the window shows.
struct StartNotes {
  std::string logFile;  // the log's path
  std::string noLog;    // empty, or why there is no log (TellOwnFileProblem "The log PATH")
};

// In this order: removes what interrupted saves of earlier runs left behind
// (RemoveLeftovers), opens the log at `logPath` (empty: the program's own),
// gives the progress bar its range and loads the command-line file, whose
// messages go to `told` for the window to show.
StartNotes PrepareStart(AppState& app, LogFile& log, HeldMessages& told, const ProgramFiles& files,
                        const std::string& logPath, std::time_t now);

// The title's note of the keyboards `device` (NIRVEX_DEVICE's value, or null)
// chooses: " — simulated keyboard" for "sim:", " — simulated keyboards" for
// "simdir:", else nothing.
std::string DeviceTitleNote(const char* device);
// The same for the device this run's environment chooses.
std::string DeviceTitleNote();

}  // namespace veltrane::ui
