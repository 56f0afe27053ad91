// SPDX-License-Identifier: MIT
#include "ui/app/file_commands.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "fileaccess/file_stamp.h"
#include "fileaccess/paths.h"
#include "fileaccess/same_file.h"
#include "model/macro_store.h"
#include "persist/header_settings.h"
#include "persist/text_report.h"
#include "ui/app/macro_store_check.h"

namespace veltrane::ui {
namespace {

// What a load reads into before it may replace the document's.
struct LoadedFile {
  model::KeyboardDefinition def;
  persist::HeaderImage header;
};

}  // namespace

std::string FileNameOf(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

namespace {

// Takes a load that succeeded as the document; `fileName` is shown as the
// file's name; an empty path (a file already read) keeps DataDirectory.
void TakeLoaded(AppState& app, const Services& io, const LoadedFile& loaded,
                const std::string& path, const std::string& fileName) {
  app.doc.def = loaded.def;
  app.doc.header = loaded.header;
  model::Settings settings = persist::FromHeader(app.doc.header);
  settings.ConfigFileName = fileName;
  ApplySettings(app, std::move(settings));
  app.doc.baseName = BaseNameFromLoaded(fileName);
  const std::string directory = path.empty() ? "" : fileaccess::AbsoluteDirectoryOf(path);
  if (!directory.empty()) app.doc.dataDirectory = directory;
  model::ClearStringWorkBuffer(app.doc.def, false);
  model::RebuildStringWorkBuffer(app.doc.def);
  model::SyncStringCharCounts(app.doc.def);
  TellMacroStoreAtLoad(app.doc.def, io, path.empty() ? fileName : path);
  app.doc.chosenFileName = fileName;
  app.doc.loadedFile = path;
  app.doc.documentFile = path;
  app.doc.commandLineText.clear();
  RememberFile(app, path);
  MarkKept(app);
}

}  // namespace

persist::LoadOutcome LoadConfiguration(AppState& app, const Services& io, const std::string& path) {
  auto loaded = std::make_unique<LoadedFile>(LoadedFile{app.doc.def, app.doc.header});
  const persist::LoadOutcome outcome =
      persist::ReadConfigFile(path, loaded->def, loaded->header, io.messages);
  if (outcome == persist::LoadOutcome::Loaded) TakeLoaded(app, io, *loaded, path, FileNameOf(path));
  return outcome;
}

persist::LoadOutcome LoadConfigurationBytes(AppState& app, const Services& io,
                                            const std::string& name,
                                            std::span<const std::uint8_t> file) {
  auto loaded = std::make_unique<LoadedFile>(LoadedFile{app.doc.def, app.doc.header});
  const persist::LoadOutcome outcome =
      persist::LoadConfigBytes(name, file, loaded->def, loaded->header, io.messages);
  if (outcome == persist::LoadOutcome::Loaded)
    TakeLoaded(app, io, *loaded, "", persist::FromHeader(loaded->header).ConfigFileName);
  return outcome;
}

bool LoadSettingsFile(AppState& app, const Services& io, const std::string& path) {
  return LoadConfiguration(app, io, path) == persist::LoadOutcome::Loaded;
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
  if (written) io.messages.Show("Saved configuration file !", "Save", model::MessageIcon::None);
  const Outcome outcome = WrittenFile(written, path);
  if (failure == WriteFailure::Tell) Tell(io, Command::WriteFile, outcome);
  return outcome;
}

bool WouldReplaceInput(const Services& io, const std::string& input, const std::string& output) {
  if (input.empty() || !fileaccess::SameFile(input, output)) return false;
  io.messages.Show(model::FormatText("%s is this command's input file %s; nothing was written",
                                     output.c_str(), input.c_str()),
                   "Output file", model::MessageIcon::Error);
  return true;
}

std::string DefaultReportPath(const AppState& app) {
  return app.doc.dataDirectory + "Saved.txt";
}

fileaccess::Status WriteReport(AppState& app, const std::string& path) {
  return persist::WriteTextReport(path, app.doc.def);
}

}  // namespace veltrane::ui
