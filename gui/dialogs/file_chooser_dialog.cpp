#include "gui/dialogs/file_chooser_dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace veltrane::gui {
namespace {

void Fill(QComboBox* combo, const ui::ComboBox& entries) {
  const QSignalBlocker blocker(combo);
  combo->clear();
  for (const std::string& item : entries.items) combo->addItem(ToQString(item));
  combo->setCurrentIndex(entries.selection);
}

void Fill(QListWidget* list, const ui::ListBox& entries) {
  const QSignalBlocker blocker(list);
  list->clear();
  for (const std::string& item : entries.items) list->addItem(ToQString(item));
  list->setCurrentRow(entries.selection);
}

// The typed name as bytes, cut to the field's length on a character boundary.
std::string NameOf(const QString& typed) {
  QString name = typed;
  while (static_cast<std::size_t>(name.toUtf8().size()) > ui::kSaveNameLength) name.chop(1);
  return name.toStdString();
}

}  // namespace

FileChooserDialog::FileChooserDialog(QWidget* parent, ui::ChooserKind kind, std::FILE* diagnostics)
    : LayoutDialog(ui::FileChooserLayout(kind), parent),
      model_(ui::OpenFileChooser(kind, diagnostics)) {
  const bool load = kind == ui::ChooserKind::Load;
  placesId_ = load ? ui::kLoadPlacesId : ui::kSavePlacesId;
  directoriesId_ = load ? ui::kLoadDirectoriesId : ui::kSaveDirectoriesId;
  filesId_ = load ? ui::kLoadFilesId : ui::kSaveFilesId;
  if (QLineEdit* name = Edit(ui::kSaveNameId)) name->setMaxLength(ui::kSaveNameLength);

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

void FileChooserDialog::OfferFiles(std::string_view extension, const QString& title,
                                   const QString& okText) {
  model_.extension = std::string(extension);
  ui::RefreshFileChooser(model_);
  ShowModel();
  setWindowTitle(title);
  Button(ui::kIdOk)->setText(okText);
}

void FileChooserDialog::ShowModel() {
  Fill(Combo(placesId_), model_.places);
  Fill(List(directoriesId_), model_.directories);
  Fill(List(filesId_), model_.files);
}

int FileChooserDialog::SelectedRow(int listId) const {
  const QListWidget* list = List(listId);
  const QList<QListWidgetItem*> selected = list->selectedItems();
  return selected.isEmpty() ? -1 : list->row(selected.front());
}

void FileChooserDialog::OnOk() {
  if (model_.kind == ui::ChooserKind::Load) {
    model_.files.selection = SelectedRow(filesId_);
    loadedPath_ = ui::OnLoadPressed(model_);
    if (!loadedPath_) return;  // nothing chosen: the chooser stays open
  } else {
    model_.name.text = NameOf(Edit(ui::kSaveNameId)->text());
    saveName_ = ui::OnSavePressed(model_);
  }
  LayoutDialog::OnOk();
}

void FileChooserDialog::OnCancel() {
  loadedPath_.reset();
  saveName_ = ui::OnChooserCancel(model_);
  LayoutDialog::OnCancel();
}

}  // namespace veltrane::gui
