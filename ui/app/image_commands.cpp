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
#include "model/text_field.h"
#include "persist/config_file.h"
#include "ui/app/file_commands.h"
#include "ui/app/load.h"
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
    if (WouldReplaceInput(io, app.doc.loadedFile, path)) {
      Outcome refused{Result::NotWritten};
      refused.path = path;
      return refused;
    }
  }
  return WriteImageFiles(app, io, app.doc.options.writeBinFile, app.doc.options.writeTxtFile);
}

Outcome DecodeReadImage(AppState& app, const Services& io) {
  return Load(app, io, {LoadKind::KeyboardImage, {}});
}

Outcome LoadImageFile(AppState& app, const Services& io, const std::string& path) {
  return Load(app, io, {LoadKind::ImageFile, path});
}

Outcome LoadImageBytes(AppState& app, const Services& io, const std::string& name,
                       const std::vector<std::uint8_t>& bytes) {
  LoadSource source{LoadKind::ImageFile, name};
  source.bytes = &bytes;
  return Load(app, io, source);
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
    Tell(io, Notice::Saved);
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
