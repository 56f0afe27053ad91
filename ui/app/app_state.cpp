// SPDX-License-Identifier: MIT
#include "ui/app/app_state.h"

#include <string>

#include "fileaccess/paths.h"

namespace veltrane::ui {
void StartApplication(AppState& app, std::string commandLine) {
  app.doc = Document{};
  if (!commandLine.empty()) app.doc.commandLineText = fileaccess::AbsolutePath(commandLine);
  model::InitialiseDefinition(app.doc.def);
  MarkKept(app);
  app.history.Reset(app.doc.def);
}

void ApplySettings(AppState& app, model::Settings settings) {
  model::KeepWithinRanges(settings);
  app.doc.def.settings = std::move(settings);
  ++app.settingsApplied;
}

}  // namespace veltrane::ui
