// SPDX-License-Identifier: MIT
// Whether the user's definition differs from the one last loaded, saved, read
// or started with: what the title's "*" and the "Save changes?" question go by.
#pragma once

#include <string>

#include "model/definition.h"

namespace veltrane::ui {

struct AppState;

// Whether two definitions are the same to the user: the keys, the strings as
// the string editor holds them and the settings, the pointing device's values
// included. The file name is left out, as is the packed string store, which
// follows the strings.
bool SameDefinition(const model::KeyboardDefinition& kept, const model::KeyboardDefinition& def);

// Takes the document as it stands as the one the user has kept.
void MarkKept(AppState& app);

bool HasUnsavedChanges(const AppState& app);

// "Save changes to NAME?", NAME the file the definition belongs to or the
// command-line file still to be loaded; "Save changes to the new
// definition?" when there is no such file. When the pointing device's values
// changed, a second paragraph says that a configuration file cannot hold them.
std::string SaveChangesQuestion(const AppState& app);

}  // namespace veltrane::ui
