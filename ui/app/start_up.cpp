// SPDX-License-Identifier: MIT
#include "ui/app/start_up.h"

#include <cstdlib>
#include <string_view>

#include "ui/app/keyboard_commands.h"

namespace veltrane::ui {

StartNotes PrepareStart(AppState& app, LogFile& log, HeldMessages& told, const ProgramFiles& files,
                        const std::string& logPath, std::time_t now) {
  RemoveLeftovers(app, files);
  StartNotes notes;
  notes.logFile = logPath.empty() ? files.log : logPath;
  notes.noLog = OpenProgramLog(log, notes.logFile, now);
  app.progress.SetRange(0, 2048);
  LoadCommandLineFile(app, {told, log});
  return notes;
}

std::string DeviceTitleNote(const char* device) {
  const std::string_view choice = device != nullptr ? device : "";
  if (choice.starts_with("sim:")) return " — simulated keyboard";
  if (choice.starts_with("simdir:")) return " — simulated keyboards";
  return {};
}

std::string DeviceTitleNote() {
  return DeviceTitleNote(std::getenv(kDeviceVariable));
}

}  // namespace veltrane::ui
