// SPDX-License-Identifier: MIT
#include "ui/app/file_commands.h"

#include <algorithm>
#include <cctype>

#include "fileaccess/file_stamp.h"
#include "fileaccess/paths.h"
#include "fileaccess/same_file.h"
#include "persist/config_file.h"
#include "persist/text_report.h"
#include "ui/app/load.h"

namespace veltrane::ui {

Outcome LoadConfiguration(AppState& app, const Services& io, const std::string& path) {
  return Load(app, io, {LoadKind::ConfigFile, path});
}

Outcome LoadSettingsFile(AppState& app, const Services& io, const std::string& path) {
  return LoadConfiguration(app, io, path);
}

std::string BaseNameFromLoaded(std::string_view name) {
  const bool extension = name.size() > 4 && name[name.size() - 4] == '.';
  return std::string(extension ? name.substr(0, name.size() - 4) : name);
}

std::string CutExtension(std::string_view name, std::string_view extension) {
  const std::size_t slash = name.rfind('/');
  const std::size_t fileName = name.size() - (slash == std::string_view::npos ? 0 : slash + 1);
  if (fileName <= extension.size()) return std::string(name);
  const std::string_view end = name.substr(name.size() - extension.size());
  const bool same = std::equal(end.begin(), end.end(), extension.begin(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  });
  return std::string(same ? name.substr(0, name.size() - extension.size()) : name);
}

std::string BaseNameFromChosen(std::string_view name) {
  return CutExtension(name, ".dat");
}

void RememberFile(AppState& app, const std::string& path) {
  if (const auto stamp = fileaccess::StampOf(path))
    app.doc.knownFiles[fileaccess::AbsolutePath(path)] = *stamp;
}

std::optional<std::string> ReplaceQuestion(const AppState& app, const std::string& path) {
  const auto now = fileaccess::StampOf(path);
  if (!now) return std::nullopt;
  const std::string name = FileNameOf(path);
  const std::string absolute = fileaccess::AbsolutePath(path);
  for (const auto& [known, then] : app.doc.knownFiles) {
    // The same path replaced by a rename, or the same file under another path.
    if ((known == absolute || then.SameFile(*now)) && then != *now)
      return name + " was changed on disk since you loaded it. Replace it?";
  }
  return name + " already exists. Replace it?";
}

bool MayReplace(const AppState& app, const std::string& path, const AskYesNo& ask) {
  const std::optional<std::string> question = ReplaceQuestion(app, path);
  return !question || ask(*question);
}

std::string ConfigurationPathFor(const std::string& baseName) {
  return fileaccess::ExtensionVariant(baseName, ".DAT");
}

Outcome WriteConfiguration(AppState& app, const Services& io, const std::string& path,
                           WriteFailure failure) {
  const fileaccess::Status written = persist::WriteConfigFile(path, app.doc.def, app.doc.header);
  if (written) Tell(io, Notice::Saved);
  const Outcome outcome = WrittenFile(written, path);
  if (failure == WriteFailure::Tell) Tell(io, Command::WriteFile, outcome);
  return outcome;
}

bool WouldReplaceInput(const Services& io, const std::string& input, const std::string& output) {
  if (input.empty() || !fileaccess::SameFile(input, output)) return false;
  Outcome refused{Result::WouldReplaceInput};
  refused.path = output;
  refused.input = input;
  Tell(io, Command::WriteFile, refused);
  return true;
}

std::string DefaultReportPath(const AppState& app) {
  return app.doc.dataDirectory + "Saved.txt";
}

fileaccess::Status WriteReport(AppState& app, const std::string& path) {
  return persist::WriteTextReport(path, app.doc.def);
}

}  // namespace veltrane::ui
