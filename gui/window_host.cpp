#include "gui/window_host.h"

#include <QCoreApplication>

#include "gui/dialogs/dialogs.h"
#include "gui/main_window.h"
#include "gui/message_boxes.h"

namespace veltrane::gui {

QtWindowHost::QtWindowHost(ui::AppState& app, ui::MainWindowModel& view, MessageBoxes& boxes,
                           ui::LogFile& log, fileaccess::FileSystem& files)
    : app_(app), view_(view), boxes_(boxes), log_(log), files_(files) {}

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
  keyEditing_->RunKeySettings(window_, app_.doc.def, view_.editTarget, &log_, boxes_, [this] {
    ui::RefreshControls(app_, view_);
    Repaint();
  });
}

void QtWindowHost::RunKeyLed() {
  RunKeyLedDialog(window_, app_.doc.def.settings, view_.ledSlot);
}

void QtWindowHost::RunPointingDevice() {
  RunPointingDeviceDialog(window_, app_.doc.def.pointDeviceParams);
}

std::optional<std::string> QtWindowHost::RunLoadFile() {
  if (view_.chooserDirectory.empty()) view_.chooserDirectory = files_.WorkingDirectory();
  return RunLoadFileDialog(window_, files_, view_.chooserDirectory);
}

std::string QtWindowHost::RunSaveFile() {
  if (view_.chooserDirectory.empty()) view_.chooserDirectory = files_.WorkingDirectory();
  return RunSaveFileDialog(window_, files_, view_.chooserDirectory);
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

void QtWindowHost::Exit() {
  log_.Close();
  QCoreApplication::exit(0);
}

}  // namespace veltrane::gui
