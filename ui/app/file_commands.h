// SPDX-License-Identifier: MIT
// Loading and saving configuration files as the main window's commands do.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fileaccess/status.h"
#include "ui/app/app_state.h"
#include "ui/app/outcome.h"

namespace veltrane::ui {

// Loads a configuration file as the Load File dialog's "Load" does (ui::Load
// of a ConfigFile): a failed load is told and changes nothing; the outcome
// says how it ended.
Outcome LoadConfiguration(AppState& app, const Services& io, const std::string& path);

// The whole "Load settings from file" after its dialog chose `path`.
Outcome LoadSettingsFile(AppState& app, const Services& io, const std::string& path);

// BaseName from a loaded file's name: a name ending in a dot and three
// characters after at least one other loses those four ("x.DAT" -> "x",
// "a.b.DAT" -> "a.b"); any other name is kept whole ("noext", "abc", ".DAT").
std::string BaseNameFromLoaded(std::string_view name);

// The name less a trailing `extension` in any letter case, when its file name
// (after its last "/") holds more than the extension; other dots stay.
std::string CutExtension(std::string_view name, std::string_view extension);

// BaseName from a name typed in the Save File dialog: the name less a
// trailing ".dat" in any case ("desk-v1.1" -> "desk-v1.1", "Keys.old.dat" ->
// "Keys.old").
std::string BaseNameFromChosen(std::string_view name);

// The configuration file that a save under `baseName` writes: baseName +
// ".DAT", or, when no such file exists but one whose extension differs only
// in letter case does ("a.dat"), that file.
std::string ConfigurationPathFor(const std::string& baseName);

// Notes a file as this run loaded or wrote it now.
void RememberFile(AppState& app, const std::string& path);

// What to ask before `path` is written: nothing when no file is there;
// "NAME was changed on disk since you loaded it. Replace it?" for a file this
// run loaded or wrote that was written since; "NAME already exists. Replace
// it?" for any other file.
std::optional<std::string> ReplaceQuestion(const AppState& app, const std::string& path);

// Asks a question with Yes and No (No the default); true for Yes.
using AskYesNo = std::function<bool(const std::string& question)>;
// Whether a name chosen to save under is taken; one refused keeps the chooser open.
using AcceptName = std::function<bool(const std::string& name)>;
// Runs a chooser of a name to save under, offering each name confirmed to
// `accept`; the name taken, or the empty text when cancelled.
using ChooseSaveName = std::function<std::string(const AcceptName& accept)>;

// Whether `path` may be written: nothing is there, or the user said Yes to ReplaceQuestion.
bool MayReplace(const AppState& app, const std::string& path, const AskYesNo& ask);

// What the user is told of a file that could not be written.
enum class WriteFailure {
  Silent,  // nothing: the Save command's success box simply does not show
  Tell,    // the "Cannot open" box with the path and the reason
};

// Writes the configuration to exactly this path with the file-name text as it
// stands; tells the user on success, and on failure as `failure` says.
Outcome WriteConfiguration(AppState& app, const Services& io, const std::string& path,
                           WriteFailure failure = WriteFailure::Silent);

// Whether writing `output` would replace the command's own input with another
// kind of file; when it would, the user is told and nothing may be written.
bool WouldReplaceInput(const Services& io, const std::string& input, const std::string& output);

// The report path: DataDirectory + "Saved.txt".
std::string DefaultReportPath(const AppState& app);
fileaccess::Status WriteReport(AppState& app, const std::string& path);

}  // namespace veltrane::ui
