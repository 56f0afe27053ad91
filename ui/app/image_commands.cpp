// SPDX-License-Identifier: MIT
#include "ui/app/image_commands.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <utility>

#include "eeprom/firmware_version.h"
#include "eeprom/image_builder.h"
#include "eeprom/image_files.h"
#include "eeprom/image_reader.h"
#include "fileaccess/paths.h"
#include "fileaccess/read_file.h"
#include "model/text_field.h"
#include "ui/app/file_commands.h"
#include "ui/app/macro_store_check.h"

namespace veltrane::ui {

void SetVersionText(AppState& app, std::string_view text) {
  app.doc.versionText = std::string(text);
  app.doc.firmwareVersion = eeprom::FirmwareVersionFromText(app.doc.versionText);
}

Outcome BuildImageForUse(AppState& app, const Services& io) {
  if (Outcome packed = PackStringsThatFit(app); !packed.ok())
    return Told(io, Command::Generate, packed);
  const eeprom::BuildResult result = eeprom::BuildImage(
      app.doc.def, model::CutText(app.doc.versionText, eeprom::info::VersionTextLimit),
      app.doc.firmwareVersion, app.doc.image, &io.log);
  if (result.fits) return {};
  Outcome refused{Result::TooManyMeanings};
  refused.count = result.distinctMeanings;
  return Told(io, Command::Generate, refused);
}

Outcome WriteImageFiles(AppState& app, const Services& io, bool writeBin, bool writeTxt) {
  const eeprom::ImageFiles files = eeprom::WriteImageFiles(app.doc.image, writeBin, writeTxt,
                                                           app.doc.dataDirectory, app.doc.baseName);
  const Outcome bin = Told(io, Command::WriteFile, WrittenFile(files.bin, files.binPath));
  const Outcome txt = Told(io, Command::WriteFile, WrittenFile(files.txt, files.txtPath));
  return bin.ok() ? txt : bin;
}

Outcome GenerateImageFiles(AppState& app, const Services& io) {
  if (app.doc.firmwareVersion == 0) Tell(io, Command::Generate, {Result::NoKeyboard});
  if (Outcome built = BuildImageForUse(app, io); !built.ok()) return built;
  for (const char* extension : {".BIN", ".TXT"}) {
    const std::string path = app.doc.dataDirectory + app.doc.baseName + extension;
    if (WouldReplaceInput(io, app.doc.loadedFile, path))
      return {Result::NotWritten, LinkStatus::Ok, path};
  }
  return WriteImageFiles(app, io, app.doc.options.writeBinFile, app.doc.options.writeTxtFile);
}

void DecodeReadImage(AppState& app) {
  model::ClearKeys(app.doc.def);
  // Strings the image does not hold are gone from the keyboard as well.
  model::ClearStringWorkBuffer(app.doc.def, false);
  ApplySettings(app,
                eeprom::DecodeImage(app.doc.image, app.doc.firmwareVersion, app.doc.def).settings);
  app.doc.documentFile.clear();  // the keyboard's definition, not a file's
  MarkKept(app);
}

bool LoadImageFile(AppState& app, const Services& io, const std::string& path) {
  const fileaccess::ReadResult read = fileaccess::ReadFile(path, eeprom::kImageSize);
  if (read.error == fileaccess::ReadError::TooLarge) {
    // Only a regular file is too large; its size names how far off it is.
    io.messages.Show(
        model::FormatText("%s holds %ju bytes; an EEPROM image holds at most %zu", path.c_str(),
                          fileaccess::FileSize(path).value_or(0), eeprom::kImageSize),
        "Image file", model::MessageIcon::Error);
    return false;
  }
  if (!read.ok()) {
    const bool named = read.error == fileaccess::ReadError::NotRegular;
    io.messages.Show(named ? read.reason : path, "Cannot open file", model::MessageIcon::Error);
    return false;
  }
  return LoadImageBytes(app, io, path, read.bytes);
}

bool LoadImageBytes(AppState& app, const Services& io, const std::string& name,
                    std::span<const std::uint8_t> bytes) {
  if (bytes.size() < eeprom::kKeyboardBytes) {
    io.messages.Show(model::FormatText("%s holds %zu bytes; an image read back from a keyboard "
                                       "has at least %zu",
                                       name.c_str(), bytes.size(), eeprom::kKeyboardBytes),
                     "Image file", model::MessageIcon::Error);
    return false;
  }
  app.doc.image.fill(0);
  std::copy_n(bytes.begin(), eeprom::kKeyboardBytes, app.doc.image.begin());
  return true;
}

Outcome SaveDecodedDefinition(AppState& app, const Services& io, const std::string& path) {
  if (Outcome built = BuildImageForUse(app, io); built.result == Result::MacrosDoNotFit)
    return built;
  app.doc.def.settings.ConfigFileName = FileNameOf(path);
  return WriteConfiguration(app, io, path, WriteFailure::Tell);
}

Outcome SaveSettings(AppState& app, const Services& io, const ChooseSaveName& chooseName,
                     const AskYesNo& ask) {
  // A save needs only the packed strings, so it goes on regardless of the image.
  if (Outcome built = BuildImageForUse(app, io); built.result == Result::MacrosDoNotFit)
    return built;
  const std::string chosenName = chooseName([&app, &ask](const std::string& name) {
    return MayReplace(app, ConfigurationPathFor(BaseNameFromChosen(name)), ask);
  });
  if (chosenName.empty()) return {Result::Cancelled};
  const std::string baseName = BaseNameFromChosen(chosenName);
  const std::string path = ConfigurationPathFor(baseName);
  // The file keeps its own name; the document takes it only once it is written.
  model::Settings& settings = app.doc.def.settings;
  const std::string shownName = std::exchange(settings.ConfigFileName, FileNameOf(path));
  const fileaccess::Status written =
      FileNameOf(baseName).empty()
          ? fileaccess::Status{false, chosenName + ": a directory, not a file name", EISDIR}
          : persist::WriteConfigFile(path, app.doc.def, app.doc.header);
  if (!written) settings.ConfigFileName = shownName;
  if (written) {
    io.messages.Show("Saved configuration file !", "Save", model::MessageIcon::None);
    app.doc.baseName = FileNameOf(baseName);
    app.doc.chosenFileName = FileNameOf(path);
    app.doc.dataDirectory = fileaccess::AbsoluteDirectoryOf(path);
    app.doc.loadedFile = path;
    app.doc.documentFile = path;
    app.doc.commandLineText.clear();
    RememberFile(app, path);
    MarkKept(app);
  }
  const Outcome saved = Told(io, Command::Save, WrittenFile(written, path));
  if (app.doc.options.writeSavedTxt) {
    const std::string report = DefaultReportPath(app);
    Tell(io, Command::Save, WrittenFile(WriteReport(app, report), report));
  }
  return saved;
}

}  // namespace veltrane::ui
