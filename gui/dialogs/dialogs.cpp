// SPDX-License-Identifier: MIT
#include "gui/dialogs/dialogs.h"

namespace veltrane::gui {

std::unique_ptr<LedDialog> MakeLedDialog(QWidget* parent, model::Settings& settings, int ledSlot) {
  return std::make_unique<LedDialog>(parent, settings, ledSlot);
}

void RunKeyLedDialog(QWidget* parent, model::Settings& settings, int ledSlot) {
  MakeLedDialog(parent, settings, ledSlot)->exec();
}

std::unique_ptr<PointingDeviceDialog> MakePointingDeviceDialog(QWidget* parent,
                                                               ui::PointDeviceParams& params) {
  return std::make_unique<PointingDeviceDialog>(parent, params);
}

void RunPointingDeviceDialog(QWidget* parent, ui::PointDeviceParams& params) {
  MakePointingDeviceDialog(parent, params)->exec();
}

std::unique_ptr<FileChooserDialog> MakeFileChooserDialog(QWidget* parent, ui::ChooserKind kind,
                                                         fileaccess::FileSystem& files,
                                                         std::string directory) {
  return std::make_unique<FileChooserDialog>(parent, kind, files, std::move(directory));
}

std::optional<std::string> RunLoadFileDialog(QWidget* parent, fileaccess::FileSystem& files,
                                             std::string& directory) {
  const auto dialog = MakeFileChooserDialog(parent, ui::ChooserKind::Load, files, directory);
  dialog->exec();
  directory = dialog->Model().directory;
  return dialog->LoadedPath();
}

std::string RunSaveFileDialog(QWidget* parent, fileaccess::FileSystem& files,
                              std::string& directory,
                              const std::function<bool(const std::string&)>& accept) {
  const auto dialog = MakeFileChooserDialog(parent, ui::ChooserKind::Save, files, directory);
  dialog->SetAcceptName(accept);
  dialog->exec();
  directory = dialog->Model().directory;
  return dialog->SaveName();
}

std::unique_ptr<AboutDialog> MakeAboutDialog(QWidget* parent) {
  return std::make_unique<AboutDialog>(parent);
}

void RunAboutDialog(QWidget* parent) {
  MakeAboutDialog(parent)->exec();
}

}  // namespace veltrane::gui
