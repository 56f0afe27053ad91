// SPDX-License-Identifier: MIT
#include "ui/app/load.h"

#include <algorithm>
#include <memory>

#include "eeprom/image_reader.h"
#include "fileaccess/paths.h"
#include "fileaccess/read_file.h"
#include "model/macro_store.h"
#include "persist/config_file.h"
#include "persist/definition_text.h"
#include "persist/header_settings.h"
#include "ui/app/file_commands.h"
#include "ui/app/macro_store_check.h"
#include "ui/app/text_commands.h"

namespace veltrane::ui {
namespace {

// What a load reads into before it may replace the document's.
struct Loaded {
  model::KeyboardDefinition def;
  persist::HeaderImage header;
  eeprom::EepromImage image;
  model::SettingMask carried;  // the settings the source carries
};

Outcome Failed(Result result, const LoadSource& source, std::string reason = {}) {
  Outcome failed{result};
  failed.path = source.path;
  failed.reason = std::move(reason);
  return failed;
}

Outcome ReadConfig(const LoadSource& source, Loaded& loaded) {
  const persist::ConfigLoad load =
      source.bytes != nullptr ? persist::LoadConfigBytes(*source.bytes, loaded.def, loaded.header)
                              : persist::ReadConfigFile(source.path, loaded.def, loaded.header);
  if (load.definitionText) return Failed(Result::TextNotConfig, source);
  switch (load.outcome) {
    case persist::LoadOutcome::Loaded:
      break;
    case persist::LoadOutcome::CannotOpen:
      return Failed(Result::CannotOpen, source, load.reason);
    case persist::LoadOutcome::Incompatible:
      return Failed(Result::Incompatible, source);
    case persist::LoadOutcome::BadMinorVersion: {
      Outcome failed = Failed(Result::BadMinorVersion, source);
      failed.versionText = std::to_string(load.major) + "." + std::to_string(load.minor);
      return failed;
    }
    case persist::LoadOutcome::BadLength:
      return Failed(Result::BadLength, source);
  }
  persist::FromHeader(loaded.header, loaded.def.settings);
  loaded.carried = model::HeaderSettings();
  model::ClearStringWorkBuffer(loaded.def, false);
  model::RebuildStringWorkBuffer(loaded.def);
  model::SyncStringCharCounts(loaded.def);
  return {};
}

Outcome ReadText(const LoadSource& source, Loaded& loaded) {
  const persist::DefinitionTextImport imported =
      source.bytes != nullptr
          ? persist::ImportNamedDefinitionText(
                source.path,
                {reinterpret_cast<const char*>(source.bytes->data()), source.bytes->size()},
                loaded.def, loaded.header)
          : persist::ReadDefinitionTextFile(source.path, loaded.def, loaded.header);
  if (!imported.ok) return Failed(Result::TextRefused, source, imported.error);
  loaded.carried = model::AllSettings();
  return {};
}

void DecodeImage(int firmwareVersion, Loaded& loaded) {
  model::ClearKeys(loaded.def);
  // Strings the image does not hold are gone from the keyboard as well.
  model::ClearStringWorkBuffer(loaded.def, false);
  const eeprom::ImageRead read = eeprom::DecodeImage(loaded.image, firmwareVersion, loaded.def);
  loaded.def.settings = read.settings;
  loaded.carried = read.read;
}

// The first 3072 bytes of an image file over an all-zero buffer.
Outcome ReadImageFile(const LoadSource& source, Loaded& loaded) {
  fileaccess::ReadResult read;
  if (source.bytes != nullptr) {
    read.bytes = *source.bytes;
  } else {
    read = fileaccess::ReadFile(source.path, eeprom::kImageSize);
  }
  if (read.error == fileaccess::ReadError::TooLarge) {
    // Only a regular file is too large; its size names how far off it is.
    Outcome failed = Failed(Result::ImageTooLong, source);
    failed.count = source.bytes != nullptr
                       ? -1
                       : static_cast<long long>(fileaccess::FileSize(source.path).value_or(0));
    return failed;
  }
  if (!read.ok())
    return Failed(Result::CannotOpen, source,
                  read.error == fileaccess::ReadError::NotRegular ? read.reason : std::string());
  if (read.bytes.size() < eeprom::kKeyboardBytes) {
    Outcome failed = Failed(Result::ImageTooShort, source);
    failed.count = static_cast<long long>(read.bytes.size());
    return failed;
  }
  loaded.image.fill(0);
  std::copy_n(read.bytes.begin(), eeprom::kKeyboardBytes, loaded.image.begin());
  return {};
}

Outcome Read(const AppState& app, const LoadSource& source, Loaded& loaded) {
  switch (source.kind) {
    case LoadKind::Text:
      return ReadText(source, loaded);
    case LoadKind::ImageFile:
      if (Outcome read = ReadImageFile(source, loaded); !read.ok()) return read;
      DecodeImage(app.doc.firmwareVersion, loaded);
      return {};
    case LoadKind::KeyboardImage:
      DecodeImage(app.doc.firmwareVersion, loaded);
      return {};
    default:
      return ReadConfig(source, loaded);
  }
}

Command CommandOf(LoadKind kind) {
  switch (kind) {
    case LoadKind::Text:
      return Command::ImportText;
    case LoadKind::ImageFile:
      return Command::LoadImage;
    default:
      return Command::Load;
  }
}

// The names a file or text gives the document it now is.
void TakeNames(AppState& app, const LoadSource& source) {
  Document& doc = app.doc;
  const bool text = source.kind == LoadKind::Text;
  const std::string path = source.bytes != nullptr ? std::string() : source.path;
  std::string fileName = FileNameOf(source.path);
  model::Settings& settings = doc.def.settings;
  if (text) {
    if (settings.ConfigFileName.empty()) settings.ConfigFileName = fileName;
  } else if (source.bytes != nullptr) {
    fileName = settings.ConfigFileName;  // standard input's file is the one it names
  } else {
    settings.ConfigFileName = fileName;
  }
  doc.baseName = text ? CutExtension(fileName, kTextExtension) : BaseNameFromLoaded(fileName);
  if (const std::string directory = path.empty() ? "" : fileaccess::AbsoluteDirectoryOf(path);
      !directory.empty())
    doc.dataDirectory = directory;
  // Only the Load File and Save File dialogs choose a file name.
  if (source.kind != LoadKind::CommandLineFile) doc.chosenFileName = fileName;
  doc.loadedFile = path;
  doc.documentFile = path;
  doc.commandLineText.clear();
  RememberFile(app, path);
}

}  // namespace

Outcome Load(AppState& app, const Services& io, const LoadSource& source) {
  auto loaded = std::make_unique<Loaded>(Loaded{app.doc.def, app.doc.header, app.doc.image, {}});
  if (Outcome read = Read(app, source, *loaded); !read.ok())
    return Told(io, CommandOf(source.kind), read);
  const std::vector<model::SettingProblem> problems =
      model::KeepWithinRanges(loaded->def.settings, loaded->carried);
  app.doc.def = loaded->def;
  app.doc.header = loaded->header;
  app.doc.image = loaded->image;
  ++app.settingsApplied;
  const bool image = source.kind == LoadKind::ImageFile || source.kind == LoadKind::KeyboardImage;
  const bool document = !image && !source.conversion;
  if (image) app.doc.documentFile.clear();  // the keyboard's definition, not a file's
  if (document) {
    TakeNames(app, source);
    Tell(io, Notice::Loaded);
  }
  TellSettingsOutOfRange(
      io, source.kind == LoadKind::KeyboardImage ? "Reading" : FileNameOf(source.path), problems);
  if (document)
    TellMacroStoreAtLoad(
        app.doc.def, io,
        source.bytes != nullptr ? app.doc.def.settings.ConfigFileName : source.path);
  MarkKept(app);
  return {};
}

}  // namespace veltrane::ui
