// SPDX-License-Identifier: MIT
// "Load File" and "Save File": the program's own chooser, with a current
// directory of its own that it shows as a path.
#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gui/dialogs/layout_dialog.h"
#include "ui/dialogs/file_chooser_model.h"

namespace veltrane::gui {

class FileChooserDialog : public LayoutDialog {
 public:
  // Opened on `directory` (absolute).
  FileChooserDialog(QWidget* parent, ui::ChooserKind kind, fileaccess::FileSystem& files,
                    std::string directory, std::FILE* diagnostics = stdout);

  // Load: the absolute path of the chosen file, nothing when cancelled.
  const std::optional<std::string>& LoadedPath() const { return loadedPath_; }
  // Save: the typed name taken against the chooser's directory, "" when cancelled.
  const std::string& SaveName() const { return saveName_; }
  const ui::FileChooserModel& Model() const { return model_; }
  // Save: each name confirmed goes to `accept` first; one it refuses keeps the chooser open.
  void SetAcceptName(std::function<bool(const std::string&)> accept) {
    acceptName_ = std::move(accept);
  }
  // Lists the files ending in one of `extensions` instead of ".dat", under another
  // title and "OK" text (the text and picture choosers).
  void OfferFiles(std::vector<std::string> extensions, const QString& title, const QString& okText);

 protected:
  void OnOk() override;
  void OnCancel() override;

 private:
  void ShowModel();
  int SelectedRow(int listId) const;

  ui::FileChooserModel model_;
  int placesId_;
  int directoriesId_;
  int filesId_;
  std::optional<std::string> loadedPath_;
  std::string saveName_;
  std::function<bool(const std::string&)> acceptName_;
};

}  // namespace veltrane::gui
