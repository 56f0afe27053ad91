#include "gui/window_host.h"

#include <QCoreApplication>

#include "gui/dialogs/dialogs.h"
#include "gui/main_window.h"
#include "gui/message_boxes.h"
#include "ui/text_commands.h"

namespace veltrane::gui {

QtWindowHost::QtWindowHost(ui::AppState& app, MessageBoxes& boxes, ui::LogFile& log)
    : app_(app), boxes_(boxes), log_(log) {}

QtWindowHost::~QtWindowHost() = default;

void QtWindowHost::CreateHiddenWindows() {
  testWindow_ = std::make_unique<TestWindow>();
  keyEditing_ = std::make_unique<KeyEditing>(app_.doc.def);
}

void QtWindowHost::Repaint() {
  if (window_ == nullptr) return;
  window_->Sync();
  window_->repaint();
}

void QtWindowHost::RunKeySettings() {
  if (keyEditing_ == nullptr) return;
  keyEditing_->RunKeySettings(window_, app_.doc.def, app_.window.editTarget, &log_, boxes_, [this] {
    ui::RefreshControls(app_);
    Repaint();
  });
}

void QtWindowHost::RunKeyLed() {
  RunKeyLedDialog(window_, app_.doc.def.settings, app_.window.ledSlot);
}

void QtWindowHost::RunPointingDevice() {
  RunPointingDeviceDialog(window_, app_.doc.def.pointDeviceParams);
}

std::optional<std::string> QtWindowHost::RunLoadFile() {
  return RunLoadFileDialog(window_);
}

std::string QtWindowHost::RunSaveFile() {
  return RunSaveFileDialog(window_);
}

void QtWindowHost::RunAbout() {
  RunAboutDialog(window_);
}

void QtWindowHost::ShowTestWindow() {
  if (testWindow_ != nullptr) testWindow_->ShowTestWindow();
}

ui::SaveChoice QtWindowHost::AskSaveChanges(const std::string& name) {
  return boxes_.AskSaveChanges(name);
}

std::string QtWindowHost::RunExportTextFile() {
  const auto dialog = MakeFileChooserDialog(window_, ui::ChooserKind::Save);
  dialog->OfferFiles(ui::kTextExtension, QStringLiteral("Export as text"),
                     QStringLiteral("Export"));
  dialog->exec();
  return dialog->SaveName();
}

std::optional<std::string> QtWindowHost::RunImportTextFile() {
  const auto dialog = MakeFileChooserDialog(window_, ui::ChooserKind::Load);
  dialog->OfferFiles(ui::kTextExtension, QStringLiteral("Import text"), QStringLiteral("Import"));
  dialog->exec();
  return dialog->LoadedPath();
}

void QtWindowHost::ShowProductionLine() {
  if (productionLine_ == nullptr)
    productionLine_ = std::make_unique<ProductionLineWindow>(
        app_, io_, *stationPort_,
        [this] {
          ui::RefreshControls(app_);
          Repaint();
        },
        stationOptions_);
  productionLine_->ShowProductionLine();
}

void QtWindowHost::Exit() {
  log_.Close();
  QCoreApplication::exit(0);
}

}  // namespace veltrane::gui
