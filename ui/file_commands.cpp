#include "ui/file_commands.h"

#include <filesystem>
#include <system_error>

#include "eeprom/image_files.h"
#include "fileaccess/same_file.h"
#include "persist/text_report.h"

namespace veltrane::ui {
namespace {

std::string AbsoluteDirectoryOf(const std::string& path) {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) return {};
  std::string directory = absolute.parent_path().string();
  if (directory.empty() || directory.back() != '/') directory += '/';
  return directory;
}

}  // namespace

std::string FileNameOf(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

persist::LoadOutcome LoadConfiguration(AppState& app, const Services& io, const std::string& path) {
  const persist::LoadOutcome outcome =
      persist::ReadConfigFile(path, app.doc.def, app.doc.header, io.messages);
  ApplyLoadedSettings(app);
  const std::string fileName = FileNameOf(path);
  app.doc.baseName = BaseNameFromLoaded(fileName);
  const std::string directory = AbsoluteDirectoryOf(path);
  if (!directory.empty()) app.doc.dataDirectory = directory;
  model::ClearStringWorkBuffer(app.doc.def, false);
  model::RebuildStringWorkBuffer(app.doc.def);
  app.doc.chosenFileName = fileName;
  app.doc.loadedFile = path;
  return outcome;
}

bool LoadSettingsFile(AppState& app, const Services& io, const std::string& path) {
  const bool loaded = LoadConfiguration(app, io, path) == persist::LoadOutcome::Loaded;
  ShowLoadedFileFields(app);
  return loaded;
}

void ShowLoadedFileFields(AppState& app) {
  using namespace persist::header;
  app.window.fileName.text = app.doc.chosenFileName;
  app.window.serial.text = std::string(app.doc.header.Text(SerialNumber));
  app.window.debounce.text = std::to_string(app.doc.header.U32(DebounceTime));
  SetGainText(app.window, app.doc.def.settings, std::to_string(app.doc.header.ScrollWheelGain()));
}

std::string BaseNameFromLoaded(std::string_view name) {
  const bool extension = name.size() > 4 && name[name.size() - 4] == '.';
  return std::string(extension ? name.substr(0, name.size() - 4) : name);
}

std::string BaseNameFromChosen(std::string_view name) {
  const std::size_t n = name.size();
  if (n > 0 && n < 300) {
    for (std::size_t i = n - 1; i >= 1; --i)
      if (name[i] == '.') return std::string(name.substr(0, i));
  }
  return std::string(name);
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

bool WriteConfiguration(AppState& app, const Services& io, const std::string& path,
                        WriteFailure failure) {
  const fileaccess::Status written =
      persist::WriteConfigFile(path, app.doc.def, ReadShownSettings(app.window), app.doc.header);
  if (written) io.messages.Show("Saved configuration file !", "Save", model::MessageIcon::None);
  if (failure == WriteFailure::Tell) eeprom::WriteOrTell(path, written, io.messages);
  return written.ok;
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
  return persist::WriteTextReport(path, app.doc.def, ReadShownSettings(app.window));
}

}  // namespace veltrane::ui
