#include "ui/text_commands.h"

#include <cerrno>
#include <memory>

#include "persist/definition_text.h"
#include "persist/header_settings.h"
#include "ui/file_commands.h"

namespace veltrane::ui {

std::string TextPathFor(const std::string& chosenName) {
  return BaseNameFromChosen(chosenName) + std::string(kTextExtension);
}

bool ExportText(AppState& app, const Services& io, const std::function<std::string()>& chooseName) {
  const std::string chosen = chooseName();
  if (chosen.empty()) return false;
  const std::string path = TextPathFor(chosen);
  persist::HeaderImage header = app.doc.header;
  persist::FillHeader(app.doc.def, ReadShownSettings(app.window), header);
  const fileaccess::Status written =
      FileNameOf(BaseNameFromChosen(chosen)).empty()
          ? fileaccess::Status{false, chosen + ": a directory, not a file name", EISDIR}
          : persist::WriteDefinitionTextFile(path, app.doc.def, header);
  if (!written) return TellIfUnwritten(io, written, "Save File");
  io.messages.Show("Saved configuration file !", "Save", model::MessageIcon::None);
  return true;
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
  ApplyLoadedSettings(app);
  const std::string fileName = FileNameOf(path);
  const std::string ownName(app.doc.header.Text(persist::header::ConfigFileName));
  app.doc.baseName = BaseNameFromChosen(fileName);
  if (const std::string directory = AbsoluteDirectoryOf(path); !directory.empty())
    app.doc.dataDirectory = directory;
  app.doc.chosenFileName = fileName;
  app.doc.loadedFile = path;
  app.doc.commandLineText.clear();
  app.window.fileName.text = ownName.empty() ? fileName : ownName;
  app.window.serial.text = std::string(app.doc.header.Text(persist::header::SerialNumber));
  WarnDroppedStrokes(io, result.droppedStrokes);
  io.messages.Show("Loaded configuration file !", "Load", model::MessageIcon::None);
  MarkKept(app);
  return true;
}

}  // namespace veltrane::ui
