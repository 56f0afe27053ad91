// SPDX-License-Identifier: MIT
#include "ui/app/text_commands.h"

#include <cerrno>
#include <memory>

#include "fileaccess/paths.h"
#include "persist/definition_text.h"
#include "persist/header_settings.h"
#include "ui/app/file_commands.h"
#include "ui/app/macro_store_check.h"

namespace veltrane::ui {

std::string TextPathFor(const std::string& chosenName) {
  return CutExtension(chosenName, kTextExtension) + std::string(kTextExtension);
}

Outcome ExportText(AppState& app, const Services& io, const ChooseSaveName& chooseName,
                   const AskYesNo& ask) {
  const std::string chosen = chooseName(
      [&app, &ask](const std::string& name) { return MayReplace(app, TextPathFor(name), ask); });
  if (chosen.empty()) return {Result::Cancelled};
  const std::string path = TextPathFor(chosen);
  persist::HeaderImage header = app.doc.header;
  persist::ToHeader(app.doc.def.settings, header);
  const fileaccess::Status written =
      FileNameOf(CutExtension(chosen, kTextExtension)).empty()
          ? fileaccess::Status{false, chosen + ": a directory, not a file name", EISDIR}
          : persist::WriteDefinitionTextFile(path, app.doc.def, header);
  if (written) {
    RememberFile(app, path);
    io.messages.Show("Saved configuration file !", "Save", model::MessageIcon::None);
  }
  return Told(io, Command::Save, WrittenFile(written, path));
}

bool ImportText(AppState& app, const Services& io, const std::string& path) {
  struct Imported {
    model::KeyboardDefinition def;
    persist::HeaderImage header;
  };
  // Read over a copy: a refused text leaves the document as it was.
  auto imported = std::make_unique<Imported>(Imported{app.doc.def, app.doc.header});
  const persist::DefinitionTextImport result =
      persist::ReadDefinitionTextFile(path, imported->def, imported->header, io.messages);
  if (!result.ok) return false;
  app.doc.def = imported->def;
  app.doc.header = imported->header;
  const std::string fileName = FileNameOf(path);
  model::Settings settings = app.doc.def.settings;
  if (settings.ConfigFileName.empty()) settings.ConfigFileName = fileName;
  ApplySettings(app, std::move(settings));
  app.doc.baseName = CutExtension(fileName, kTextExtension);
  if (const std::string directory = fileaccess::AbsoluteDirectoryOf(path); !directory.empty())
    app.doc.dataDirectory = directory;
  app.doc.chosenFileName = fileName;
  app.doc.loadedFile = path;
  app.doc.documentFile = path;
  app.doc.commandLineText.clear();
  RememberFile(app, path);
  io.messages.Show("Loaded configuration file !", "Load", model::MessageIcon::None);
  TellMacroStoreAtLoad(app.doc.def, io, path);
  MarkKept(app);
  return true;
}

}  // namespace veltrane::ui
