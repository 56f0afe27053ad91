// SPDX-License-Identifier: MIT
#include "ui/app/text_commands.h"

#include <cerrno>

#include "fileaccess/paths.h"
#include "persist/definition_text.h"
#include "persist/header_settings.h"
#include "ui/app/file_commands.h"
#include "ui/app/load.h"

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
    Tell(io, Notice::Saved);
  }
  return Told(io, Command::Save, WrittenFile(written, path));
}

Outcome ImportText(AppState& app, const Services& io, const std::string& path) {
  return Load(app, io, {LoadKind::Text, path});
}

}  // namespace veltrane::ui
