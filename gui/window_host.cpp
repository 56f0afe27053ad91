// SPDX-License-Identifier: MIT
#include "gui/window_host.h"

#include <QCoreApplication>

#include "gui/dialogs/dialogs.h"
#include "gui/dialogs/layer_dialog.h"
#include "gui/main_window.h"
#include "gui/message_boxes.h"
#include "gui/picture_printer.h"
#include "ui/app/text_commands.h"
#include "ui/app/undo_commands.h"

namespace veltrane::gui {

QtWindowHost::QtWindowHost(ui::AppState& app, ui::MainWindowModel& view, MessageBoxes& boxes,
                           ui::LogFile& log, fileaccess::FileSystem& files)
    : app_(app), view_(view), boxes_(boxes), log_(log), files_(files) {}

QtWindowHost::~QtWindowHost() = default;

void QtWindowHost::CreateHiddenWindows() {
  testWindow_ = std::make_unique<TestWindow>();
  keyEditing_ = std::make_unique<KeyEditing>(app_.doc.def);
  keyEditing_->SetStepRecorder([this](const std::string& name) { ui::RecordStep(app_, name); });
}

void QtWindowHost::Repaint() {
  if (window_ == nullptr) return;
  window_->Sync();
  window_->repaint();
}

void QtWindowHost::RunKeySettings(model::KeyboardDefinition& def) {
  if (keyEditing_ == nullptr) return;
  keyEditing_->RunKeySettings(window_, def, view_.editTarget, &log_, boxes_, [this] {
    ui::RefreshControls(app_, view_);
    Repaint();
  });
}

void QtWindowHost::RunKeyLed(model::Settings& settings) {
  RunKeyLedDialog(window_, settings, view_.ledSlot);
}

void QtWindowHost::RunPointingDevice(model::Settings& settings) {
  RunPointingDeviceDialog(window_, settings.PointDeviceParams);
}

std::string& QtWindowHost::ChooserDirectory() {
  if (view_.chooserDirectory.empty()) view_.chooserDirectory = files_.WorkingDirectory();
  return view_.chooserDirectory;
}

std::optional<std::string> QtWindowHost::RunLoadFile() {
  return RunLoadFileDialog(window_, files_, ChooserDirectory());
}

std::string QtWindowHost::RunSaveFile(const AcceptName& accept) {
  return RunSaveFileDialog(window_, files_, ChooserDirectory(), accept);
}

void QtWindowHost::RunAbout() {
  RunAboutDialog(window_);
}

void QtWindowHost::ShowTestWindow() {
  if (testWindow_ != nullptr) testWindow_->ShowTestWindow();
}

bool QtWindowHost::AskReplace(const std::string& question, const std::string& caption) {
  return boxes_.AskYesNo(question, caption);
}

ui::SaveChoice QtWindowHost::AskSaveChanges(const std::string& question) {
  return boxes_.AskSaveChanges(question);
}

std::string QtWindowHost::RunExportTextFile(const AcceptName& accept) {
  const auto dialog =
      MakeFileChooserDialog(window_, ui::ChooserKind::Save, files_, ChooserDirectory());
  dialog->OfferFiles({std::string(ui::kTextExtension)}, QStringLiteral("Export as text"),
                     QStringLiteral("Export"));
  dialog->SetAcceptName(accept);
  dialog->exec();
  view_.chooserDirectory = dialog->Model().directory;
  return dialog->SaveName();
}

std::optional<std::string> QtWindowHost::RunImportTextFile() {
  const auto dialog =
      MakeFileChooserDialog(window_, ui::ChooserKind::Load, files_, ChooserDirectory());
  dialog->OfferFiles({std::string(ui::kTextExtension)}, QStringLiteral("Import text"),
                     QStringLiteral("Import"));
  dialog->exec();
  view_.chooserDirectory = dialog->Model().directory;
  return dialog->LoadedPath();
}

std::string QtWindowHost::RunExportPictureFile(const AcceptName& accept) {
  const auto dialog =
      MakeFileChooserDialog(window_, ui::ChooserKind::Save, files_, ChooserDirectory());
  dialog->OfferFiles({".svg", ".pdf", ".png"}, QStringLiteral("Export picture (.svg, .pdf, .png)"),
                     QStringLiteral("Export"));
  dialog->SetAcceptName(accept);
  dialog->exec();
  view_.chooserDirectory = dialog->Model().directory;
  return dialog->SaveName();
}

void QtWindowHost::PrintPicture(const std::vector<picture::Page>& pages) {
  RunPrintDialog(window_, pages, boxes_);
}

void QtWindowHost::ShowProductionLine() {
  if (productionLine_ == nullptr)
    productionLine_ = std::make_unique<ProductionLineWindow>(
        app_, io_, *stationPort_,
        [this] {
          ui::RefreshControls(app_, view_);
          Repaint();
        },
        stationOptions_);
  productionLine_->ShowProductionLine();
}

std::optional<ui::LayerChoice> QtWindowHost::RunLayerDialog(model::LayerEdit edit) {
  return gui::RunLayerDialog(window_, edit, app_.doc.def);
}

int QtWindowHost::KeyInKeyMacroTool() {
  if (keyEditing_ == nullptr || !keyEditing_->stringEditor().visible) return -1;
  return keyEditing_->stringEditor().editKey;
}

void QtWindowHost::Exit() {
  if (endSteps_) endSteps_();
  log_.Close();
  QCoreApplication::exit(0);
}

}  // namespace veltrane::gui
