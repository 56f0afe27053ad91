#include "ui/app/app_state.h"

#include <filesystem>
#include <string>
#include <system_error>

namespace veltrane::ui {
namespace {

std::string AbsolutePath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.string();
}

}  // namespace

void StartApplication(AppState& app, std::string commandLine) {
  app.doc = Document{};
  if (!commandLine.empty()) app.doc.commandLineText = AbsolutePath(commandLine);
  model::InitialiseDefinition(app.doc.def);
  MarkKept(app);
}

void ApplySettings(AppState& app, model::Settings settings) {
  model::KeepWithinControls(settings);
  app.doc.def.settings = std::move(settings);
  ++app.settingsApplied;
}

}  // namespace veltrane::ui
