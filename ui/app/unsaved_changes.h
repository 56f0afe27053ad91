// SPDX-License-Identifier: MIT
// Whether the user's definition differs from the one last loaded, saved, read
// or started with: what the title's "*" and the "Save changes?" question go by.
#pragma once

#include <string>

#include "model/definition.h"

namespace veltrane::ui {

struct AppState;

// Whether two definitions keep the same in a configuration file: the keys,
// the strings as the string editor holds them and the settings. The file name
// and the pointing-device values (which no file holds) are left out, as is the
// packed string store, which follows the strings.
bool SameDefinition(const model::KeyboardDefinition& kept, const model::KeyboardDefinition& def);

// Takes the document as it stands as the one the user has kept.
void MarkKept(AppState& app);

bool HasUnsavedChanges(const AppState& app);

// "Save changes to NAME?", NAME the file the definition belongs to or the
// command-line file still to be loaded; "Save changes to the new
// definition?" when there is no such file.
std::string SaveChangesQuestion(const AppState& app);

}  // namespace veltrane::ui
