// SPDX-License-Identifier: MIT
#include "gui/dialogs/file_chooser_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace veltrane::gui {
namespace {

// The typed name as bytes, cut to the field's length on a character boundary.
std::string NameOf(const QString& typed) {
  QString name = typed;
  while (static_cast<std::size_t>(name.toUtf8().size()) > ui::kSaveNameLength) name.chop(1);
  return name.toStdString();
}

}  // namespace

FileChooserDialog::FileChooserDialog(QWidget* parent, ui::ChooserKind kind,
                                     fileaccess::FileSystem& files, std::string directory,
                                     std::FILE* diagnostics)
    : LayoutDialog(ui::FileChooserLayout(kind), parent),
      model_(ui::OpenFileChooser(kind, files, std::move(directory), diagnostics)) {
  const bool load = kind == ui::ChooserKind::Load;
  placesId_ = load ? ui::id::kLoadPlaces : ui::id::kSavePlaces;
  directoriesId_ = load ? ui::id::kLoadDirectories : ui::id::kSaveDirectories;
  filesId_ = load ? ui::id::kLoadFiles : ui::id::kSaveFiles;
  if (QLineEdit* name = Edit(ui::id::kSaveName)) name->setMaxLength(ui::kSaveNameLength);

  // Every pick goes to the place, also a pick of the one already shown.
  connect(Combo(placesId_), &QComboBox::activated, this, [this](int index) {
    ui::OnPlacePicked(model_, index);
    ShowModel();
  });
  connect(List(directoriesId_), &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) {
            ui::OnDirectoryDoubleClicked(model_, List(directoriesId_)->row(item));
            ShowModel();
          });
  if (load) {
    connect(List(filesId_), &QListWidget::itemDoubleClicked, this, [this] { OnOk(); });
  }
  ShowModel();
}

void FileChooserDialog::OfferFiles(std::vector<std::string> extensions, const QString& title,
                                   const QString& okText) {
  model_.extensions = std::move(extensions);
  ui::RefreshFileChooser(model_);
  ShowModel();
  setWindowTitle(title);
  Button(ui::id::kOk)->setText(okText);
}

void FileChooserDialog::ShowModel() {
  Show(Combo(placesId_), model_.places);
  Show(List(directoriesId_), model_.directories);
  Show(List(filesId_), model_.datFiles);
  // The whole path in the tooltip; in the line, its start and end, the directory's own name kept.
  if (auto* path = qobject_cast<QLabel*>(Control(ui::id::kChooserDirectory))) {
    const QString shown = ToQString(ui::ShownName(model_.directory));
    path->setText(path->fontMetrics().elidedText(shown, Qt::ElideMiddle, path->width()));
    path->setToolTip(shown);
  }
  if (auto* problem = qobject_cast<QLabel*>(Control(ui::id::kChooserProblem)))
    problem->setText(ToQString(model_.problem));
}

int FileChooserDialog::SelectedRow(int listId) const {
  const QListWidget* list = List(listId);
  const QList<QListWidgetItem*> selected = list->selectedItems();
  return selected.isEmpty() ? -1 : list->row(selected.front());
}

void FileChooserDialog::OnOk() {
  if (model_.kind == ui::ChooserKind::Load) {
    model_.datFiles.selection = SelectedRow(filesId_);
    loadedPath_ = ui::OnLoadPressed(model_);
    if (!loadedPath_) return;  // nothing chosen: the chooser stays open
  } else {
    model_.name.text = NameOf(Edit(ui::id::kSaveName)->text());
    saveName_ = ui::OnSavePressed(model_);
    if (!saveName_.empty() && acceptName_ && !acceptName_(saveName_)) {
      saveName_.clear();  // another name, or Cancel
      model_.finished = false;
      return;
    }
  }
  LayoutDialog::OnOk();
}

void FileChooserDialog::OnCancel() {
  loadedPath_.reset();
  saveName_ = ui::OnChooserCancel(model_);
  LayoutDialog::OnCancel();
}

}  // namespace veltrane::gui
