// Whether the user's definition differs from the one last loaded, saved, read
// or started with: what the title's "*" and the "Save changes?" question go by.
#pragma once

#include "model/definition.h"
#include "model/shown_settings.h"

namespace veltrane::ui {

struct AppState;

// What a configuration file keeps of the document: the keys, the strings as
// the string editor holds them, the record's settings and the settings the
// window holds. The file name and the pointing-device values (which no file
// holds) are left out, as is the packed string store, which follows the strings.
struct DefinitionSnapshot {
  model::KeyboardDefinition def;
  model::ShownSettings shown;
};

DefinitionSnapshot TakeSnapshot(const AppState& app);

// Whether the definition and the shown settings are those of the snapshot.
bool SameDefinition(const DefinitionSnapshot& kept, const model::KeyboardDefinition& def,
                    const model::ShownSettings& shown);

// Takes the document as it stands as the one the user has kept.
void MarkKept(AppState& app);

bool HasUnsavedChanges(const AppState& app);

}  // namespace veltrane::ui
