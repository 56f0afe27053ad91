// SPDX-License-Identifier: MIT
#include "ui/app/undo_commands.h"

#include "persist/definition_diff.h"
#include "persist/header_settings.h"

namespace veltrane::ui {
namespace {

// "DebounceTime: 28 -> 12" as a step's name: "DebounceTime 28 → 12".
std::string StepWords(std::string line) {
  if (const std::size_t colon = line.find(": "); colon != std::string::npos) line.erase(colon, 1);
  if (const std::size_t arrow = line.rfind(" -> "); arrow != std::string::npos)
    line.replace(arrow, 4, " \u2192 ");
  return line;
}

bool Step(AppState& app, bool forward) {
  const model::Settings before = app.doc.def.settings;
  const bool stepped = forward ? app.history.Redo(app.doc.def) : app.history.Undo(app.doc.def);
  if (stepped && !(before == app.doc.def.settings)) ++app.settingsApplied;
  return stepped;
}

}  // namespace

void RecordStep(AppState& app, const StepNamer& name) {
  if (!app.history.Differs(app.doc.def)) return;
  app.history.Record(app.doc.def, name(app.history.State()));
}

void RecordStep(AppState& app, std::string_view name) {
  RecordStep(app, [name](const model::KeyboardDefinition&) { return std::string(name); });
}

void TakeWithoutStep(AppState& app) {
  app.history.Absorb(app.doc.def);
}

void ForgetSteps(AppState& app) {
  app.history.Reset(app.doc.def);
}

bool UndoStep(AppState& app) {
  return Step(app, false);
}

bool RedoStep(AppState& app) {
  return Step(app, true);
}

std::string UndoCaption(const AppState& app) {
  const std::string* name = app.history.UndoName();
  return name == nullptr ? "Undo" : "Undo " + *name;
}

std::string RedoCaption(const AppState& app) {
  const std::string* name = app.history.RedoName();
  return name == nullptr ? "Redo" : "Redo " + *name;
}

std::string SettingsChangeName(const model::Settings& before, const model::Settings& after) {
  model::Settings named = after;
  named.ConfigFileName = before.ConfigFileName;
  std::string name;
  for (const persist::DefinitionDifference& d : persist::DiffSettings(before, named))
    name += (name.empty() ? "" : ", ") + StepWords(d.line);
  return name;
}

}  // namespace veltrane::ui
