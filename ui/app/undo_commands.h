// SPDX-License-Identifier: MIT
// The user's steps over the application state: recorded where a command that
// changes the definition ends, undone and redone, and named for the Edit menu
// ("Undo Assign Macro 3/5", "Redo DebounceTime 28 → 12").
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "ui/app/app_state.h"

namespace veltrane::ui {

// Makes a step of what changed in the definition since the last step, named
// by `name` (given the definition as it was); nothing when nothing changed.
using StepNamer = std::function<std::string(const model::KeyboardDefinition& before)>;
void RecordStep(AppState& app, const StepNamer& name);
void RecordStep(AppState& app, std::string_view name);

// Takes what changed as it is, without a step: what a save or a download
// derives (the strokes counted again) is no edit of the user's.
void TakeWithoutStep(AppState& app);

// The history forgets every step: the start-up's loads and a restored
// recovery copy are where a run begins.
void ForgetSteps(AppState& app);

// The definition one step back or forward: false when there is none. A step
// that changes the settings replaces them as a load does, so that the
// window's rules that follow a load follow it too.
bool UndoStep(AppState& app);
bool RedoStep(AppState& app);

// "Undo NAME" and "Redo NAME", or "Undo" and "Redo" when there is no step.
std::string UndoCaption(const AppState& app);
std::string RedoCaption(const AppState& app);

// The settings that differ, the file-name display aside: "DebounceTime 28 → 12",
// several joined by ", "; empty when none does.
std::string SettingsChangeName(const model::Settings& before, const model::Settings& after);

}  // namespace veltrane::ui
