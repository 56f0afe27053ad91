#include "ui/main_window_controller.h"

namespace veltrane::ui {

MainWindowController::MainWindowController(AppState& app, const Services& io, KeyboardLink& link,
                                           WindowHost& host)
    : app_(app), io_(io), link_(link), host_(host) {}

void MainWindowController::OnCommand(int) {}
void MainWindowController::OnFieldEdited(int, const std::string&) {}
void MainWindowController::OnSelection(int, int) {}
void MainWindowController::OnMainWindowKey(int) {}

}  // namespace veltrane::ui
