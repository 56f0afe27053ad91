// SPDX-License-Identifier: MIT
// "Export picture…" and what "Print…" prints: the keymap picture of the
// definition in the window, a page for each of the four layers.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "picture/page.h"
#include "ui/app/app_state.h"
#include "ui/app/file_commands.h"
#include "ui/app/outcome.h"

namespace veltrane::ui {

inline constexpr const char* kExportPictureCaption = "Export picture";

// The name the picture is headed with: the file-name field's, which names the
// configuration last loaded or saved.
std::string PictureName(const AppState& app);

// The file an export under the typed name writes: the name as typed when it
// ends in .svg, .pdf or .png (in any letter case), else with ".svg" after it.
std::string PicturePathFor(const std::string& chosenName);

// "Export picture…": `chooseName` asks for the name; a cancelled chooser
// (empty name) writes nothing. A name whose file exists is taken only when
// `ask` says Yes to ReplaceQuestion for the file that would be written.
// "Saved picture NAME" on success; a file that cannot be written is told as a
// failed save ("Cannot open: PATH: REASON", caption "Save File"). The
// document is left as it was.
Outcome ExportPicture(AppState& app, const Services& io, const ChooseSaveName& chooseName,
                      const AskYesNo& ask);

// The pages "Print…" prints.
std::vector<picture::Page> PicturePages(const AppState& app);

}  // namespace veltrane::ui
