#include "ui/app/file_commands.h"

#include <memory>

#include "fileaccess/paths.h"
#include "fileaccess/same_file.h"
#include "persist/header_settings.h"
#include "persist/text_report.h"

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

persist::LoadOutcome LoadConfiguration(AppState& app, const Services& io, const std::string& path) {
  auto loaded = std::make_unique<LoadedFile>(LoadedFile{app.doc.def, app.doc.header});
  const persist::LoadOutcome outcome =
      persist::ReadConfigFile(path, loaded->def, loaded->header, io.messages);
  if (outcome != persist::LoadOutcome::Loaded) return outcome;
  app.doc.def = loaded->def;
  app.doc.header = loaded->header;
  const std::string fileName = FileNameOf(path);
  model::Settings settings = persist::FromHeader(app.doc.header);
  settings.ConfigFileName = fileName;
  ApplySettings(app, std::move(settings));
  app.doc.baseName = BaseNameFromLoaded(fileName);
  const std::string directory = fileaccess::AbsoluteDirectoryOf(path);
  if (!directory.empty()) app.doc.dataDirectory = directory;
  model::ClearStringWorkBuffer(app.doc.def, false);
  model::RebuildStringWorkBuffer(app.doc.def);
  app.doc.chosenFileName = fileName;
  app.doc.loadedFile = path;
  app.doc.documentFile = path;
  app.doc.commandLineText.clear();
  MarkKept(app);
  return outcome;
}

bool LoadSettingsFile(AppState& app, const Services& io, const std::string& path) {
  return LoadConfiguration(app, io, path) == persist::LoadOutcome::Loaded;
}

std::string BaseNameFromLoaded(std::string_view name) {
  const bool extension = name.size() > 4 && name[name.size() - 4] == '.';
  return std::string(extension ? name.substr(0, name.size() - 4) : name);
}

std::string BaseNameFromChosen(std::string_view name) {
  const std::size_t slash = name.rfind('/');
  const std::size_t start = slash == std::string_view::npos ? 0 : slash + 1;
  const std::size_t n = name.size() - start;
  if (n > 0 && n < 300) {
    for (std::size_t i = name.size() - 1; i >= start + 1; --i)
      if (name[i] == '.') return std::string(name.substr(0, i));
  }
  return std::string(name);
}

std::string ConfigurationPathFor(const std::string& baseName) {
  return fileaccess::ExtensionVariant(baseName, ".DAT");
}

void PackStrings(AppState& app, const Services& io) {
  WarnDroppedStrokes(io, model::FlattenStrings(app.doc.def));
}

void WarnDroppedStrokes(const Services& io, int dropped) {
  if (dropped > 0)
    io.messages.Show(model::FormatText("%d key strokes did not fit the string store and were "
                                       "left out",
                                       dropped),
                     "Strings", model::MessageIcon::Warning);
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
