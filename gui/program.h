// SPDX-License-Identifier: MIT
// The desktop program's objects, built and started in the order of its
// start-up; main runs one, tests may run one with their boxes answered.
#pragma once

#include <QTimer>
#include <ctime>
#include <memory>
#include <string>

#include "gui/background_link.h"
#include "gui/main_window.h"
#include "gui/message_boxes.h"
#include "gui/signal_watch.h"
#include "gui/window_host.h"
#include "ui/app/app_state.h"
#include "ui/app/log_file.h"
#include "ui/app/nirvex_link.h"
#include "ui/app/program_run.h"
#include "ui/app/recovery_keeper.h"
#include "ui/main_window/main_window_controller.h"

namespace veltrane::gui {

// Passes the window's events to the controller, and runs `after` after each.
class FollowedEvents : public ui::MainWindowEvents {
 public:
  FollowedEvents(ui::MainWindowEvents& inner, std::function<void()> after)
      : inner_(inner), after_(std::move(after)) {}
  void OnCommand(int id) override {
    Then([&] { inner_.OnCommand(id); });
  }
  void OnFieldCommitted(int id, const std::string& text) override {
    Then([&] { inner_.OnFieldCommitted(id, text); });
  }
  void OnSelection(int id, int index) override {
    Then([&] { inner_.OnSelection(id, index); });
  }
  void OnListTextCommitted(int id, const std::string& text) override {
    Then([&] { inner_.OnListTextCommitted(id, text); });
  }
  void OnMainWindowKey(int virtualKey) override {
    Then([&] { inner_.OnMainWindowKey(virtualKey); });
  }
  void OnKeySelected(int keyIndex) override {
    Then([&] { inner_.OnKeySelected(keyIndex); });
  }
  void OnKeyDropped(int from, int to, model::KeyMove how) override {
    Then([&] { inner_.OnKeyDropped(from, to, how); });
  }

 private:
  template <typename Call>
  void Then(Call call) {
    call();
    after_();
  }
  ui::MainWindowEvents& inner_;
  std::function<void()> after_;
};

// Swallows what the user does while the program ends.
class InputStop : public QObject {
 protected:
  bool eventFilter(QObject* target, QEvent* event) override;
};

class Program {
 public:
  // Keeps the command line (a configuration file) and creates the main window,
  // which runs its creation step.
  explicit Program(std::string commandLine);
  ~Program();

  // Removes what interrupted saves of earlier runs left behind, opens the log
  // (`logPath`, by default in the state directory), sets up the progress bar,
  // loads the command-line file, shows the main window with it and creates the
  // test and string editor windows hidden; then tells how the load went (the
  // window takes no input before), offers the work of a run cut short, and
  // from then on keeps the recovery copy and ends the run cleanly on SIGTERM,
  // SIGHUP and SIGINT.
  void Start(std::time_t now, const std::string& logPath = {});

  ui::AppState app;
  ui::MainWindowModel view;
  MessageBoxes boxes;
  ui::LogFile log;
  const ui::Services io{boxes, log};
  ui::NirvexLink nirvex{boxes};
  fileaccess::RealFileSystem files;
  BackgroundLink link{nirvex, view.busy};
  QtWindowHost host{app, view, boxes, log, files};
  ui::MainWindowController controller{app, view, io, link, host};
  const ui::ProgramFiles ownFiles = ui::DefaultProgramFiles();
  ui::RecoveryKeeper recovery{ownFiles.recovery};
  // After a save, or a load that follows Discard, the recovery copy goes at once.
  FollowedEvents events{controller, [this] { recovery.DropIfKept(app); }};
  MainWindow window{view, app.progress, events};

  // The end by a signal: the recovery copy written, no more input taken,
  // the production line told to take no more keyboards; the run ends once the
  // running transfers have finished.
  void OnSignal(int number);

 private:
  void FollowRecovery();
  void EndNormally();
  void EndWhenIdle();
  // A window transfer or the production line is running.
  bool Transferring();

  bool ownFileProblemTold_ = false;
  int endSignal_ = 0;
  InputStop inputStop_;
  QTimer recoveryTimer_;
  QTimer endTimer_;
  std::unique_ptr<SignalWatch> signals_;
};

}  // namespace veltrane::gui
