// SPDX-License-Identifier: MIT
#include "ui/app/picture_commands.h"

#include <array>
#include <cerrno>

#include "picture/keymap_picture.h"
#include "ui/app/file_commands.h"

namespace veltrane::ui {
namespace {

constexpr std::array<int, model::kLayerCount> kAllLayers = {0, 1, 2, 3};

}  // namespace

std::string PictureName(const AppState& app) {
  return app.doc.def.settings.ConfigFileName;
}

std::string PicturePathFor(const std::string& chosenName) {
  return picture::FormatOfName(chosenName) ? chosenName : chosenName + ".svg";
}

Outcome ExportPicture(AppState& app, const Services& io, const ChooseSaveName& chooseName,
                      const AskYesNo& ask) {
  const std::string chosen = chooseName(
      [&app, &ask](const std::string& name) { return MayReplace(app, PicturePathFor(name), ask); });
  if (chosen.empty()) return {Result::Cancelled};
  const std::string path = PicturePathFor(chosen);
  const fileaccess::Status written =
      FileNameOf(chosen).empty()
          ? fileaccess::Status{false, chosen + ": a directory, not a file name", EISDIR}
          : picture::WriteKeymapPicture(path, app.doc.def, kAllLayers, PictureName(app));
  if (written)
    io.messages.Show("Saved picture " + FileNameOf(path), kExportPictureCaption,
                     model::MessageIcon::None);
  return Told(io, Command::Save, WrittenFile(written, path));
}

std::vector<picture::Page> PicturePages(const AppState& app) {
  return picture::KeymapPages(app.doc.def, kAllLayers, PictureName(app));
}

}  // namespace veltrane::ui
