// SPDX-License-Identifier: MIT
// "Export as text…" and "Import text…": the definition as JSON text, written
// and read as the Save and Load commands write and read configuration files.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "ui/app/app_state.h"
#include "ui/app/file_commands.h"
#include "ui/app/outcome.h"

namespace veltrane::ui {

inline constexpr std::string_view kTextExtension = ".json";

// The file an export under the typed name writes: the name less a trailing
// ".json" in any case, followed by ".json" ("desk-v1.1" -> "desk-v1.1.json").
std::string TextPathFor(const std::string& chosenName);

// "Export as text…": `chooseName` asks for the name; a name whose file exists
// is taken only when `ask` says Yes to ReplaceQuestion; a cancelled chooser
// (empty name) writes nothing. The text carries the definition as a save
// would write it, with the settings the window shows. "Saved configuration
// file !" on success; a file that cannot be written is told as a failed save
// ("Cannot open: PATH: REASON", caption "Save File"). The document keeps its
// file: the export changes neither its names nor what counts as saved.
Outcome ExportText(AppState& app, const Services& io, const ChooseSaveName& chooseName,
                   const AskYesNo& ask);

// "Import text…" of the chosen file: ui::Load of a Text. A text that cannot
// be read or is refused is told with its path and place, and changes nothing
// at all. A text that is taken replaces the definition and header with every
// setting it carries (the serial number and the configuration's own file
// name too, so that an exported definition builds the same image again).
Outcome ImportText(AppState& app, const Services& io, const std::string& path);

}  // namespace veltrane::ui
