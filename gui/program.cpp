// SPDX-License-Identifier: MIT
#include "gui/program.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWindow>
#include <cstring>

#include "ui/app/keyboard_commands.h"
#include "ui/app/recovery_offer.h"
#include "ui/app/start_up.h"
#include "ui/app/undo_commands.h"

namespace veltrane::gui {
namespace {

// The start-up of the document, done before the widgets mirror it.
ui::AppState Started(std::string commandLine) {
  ui::AppState app;
  ui::StartApplication(app, std::move(commandLine));
  return app;
}

// The main window's creation step, showing the started document.
ui::MainWindowModel Created(const ui::AppState& app) {
  ui::MainWindowModel view;
  ui::CreateMainWindowControls(view);
  ui::RefreshControls(app, view);
  return view;
}

constexpr int kEndPollMilliseconds = 50;

// Lets the window system place and show the window (user input is left
// queued), so that boxes opened now are centred over it; a second at most.
void WaitUntilExposed(QWidget& window) {
  QElapsedTimer waited;
  waited.start();
  while (window.windowHandle() != nullptr && !window.windowHandle()->isExposed() &&
         waited.elapsed() < 1000)
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
}

}  // namespace

bool InputStop::eventFilter(QObject* target, QEvent* event) {
  if (IsUserInput(event->type())) {
    event->ignore();
    return true;
  }
  return QObject::eventFilter(target, event);
}

Program::Program(std::string commandLine)
    : app(Started(std::move(commandLine))), view(Created(app)) {
  host.SetMainWindow(&window);
  host.SetEndSteps([this] { EndNormally(); });
  boxes.SetParentWindow(&window);
  window.SetTitleSuffix(QString::fromStdString(ui::DeviceTitleNote()));
  QObject::connect(&recoveryTimer_, &QTimer::timeout, &window, [this] { FollowRecovery(); });
  QObject::connect(&endTimer_, &QTimer::timeout, &window, [this] { EndWhenIdle(); });
}

Program::~Program() {
  QCoreApplication::instance()->removeEventFilter(&inputStop_);
}

void Program::Start(std::time_t now, const std::string& logPath) {
  // The command-line file is what the window first shows; how its load went
  // is told over the window.
  ui::HeldMessages told;
  const ui::StartNotes notes = ui::PrepareStart(app, log, told, ownFiles, logPath, now);
  ui::RefreshControls(app, view);
  window.Sync();
  window.show();
  window.repaint();
  host.CreateHiddenWindows();
  if (!told.empty()) WaitUntilExposed(window);
  told.ShowTo(boxes);
  if (!notes.noLog.empty())
    ui::TellOwnFileProblem(io, ownFileProblemTold_, "The log " + notes.logFile, notes.noLog);
  // After the command-line file's load, so that restored work is what the window shows.
  ui::OfferRecovery(app, io, recovery,
                    [this](const std::string& question) { return boxes.AskRestore(question); });
  ui::ForgetSteps(app);  // the history starts with what the window shows now
  ui::RefreshControls(app, view);
  window.Sync();
  recoveryTimer_.start(ui::RecoveryPeriodSeconds() * 1000);
  signals_ = std::make_unique<SignalWatch>();
  QObject::connect(signals_.get(), &SignalWatch::received, &window,
                   [this](int number) { OnSignal(number); });
}

void Program::FollowRecovery() {
  recovery.Follow(app);
  if (link.running()) return;  // a box would stand over the transfer
  if (const std::string problem = recovery.TakeProblem(); !problem.empty())
    ui::TellOwnFileProblem(io, ownFileProblemTold_, "The recovery copy of unsaved changes",
                           problem);
}

void Program::EndNormally() {
  boxes.SetQuiet();  // the user has answered; what remains goes to the log
  ui::SwitchMatrixOffAtEnd(app, io, link);
  recovery.Discard();
}

void Program::OnSignal(int number) {
  model::LogPrintf(&log, "Signal %d (%s) received\n", number, ::strsignal(number));
  if (endSignal_ != 0) return;  // a half-written keyboard is worse than a wait
  endSignal_ = number;
  boxes.SetQuiet();
  window.CommitTyping();  // what was half typed is the user's work too
  if (Transferring()) {
    recovery.Follow(app, fileaccess::Durability::Synced);  // safe before anything is waited for
    recovery.Flush();
  }
  QCoreApplication::instance()->installEventFilter(&inputStop_);
  if (ProductionLineWindow* line = host.productionLineWindow())
    line->Model().OnStop(std::string("ended by SIG") + ::sigabbrev_np(number));
  endTimer_.start(kEndPollMilliseconds);
  EndWhenIdle();
}

bool Program::Transferring() {
  ProductionLineWindow* line = host.productionLineWindow();
  return link.running() || (line != nullptr && line->Model().view().running);
}

void Program::EndWhenIdle() {
  if (Transferring()) return;
  endTimer_.stop();
  recovery.Follow(app, fileaccess::Durability::Synced);  // a shut-down may follow
  recovery.Seal();                                       // the copy stays for the next start
  ui::SwitchMatrixOffAtEnd(app, io, link);
  link.Close();
  model::LogPrintf(&log, "Ended by signal %d\n", endSignal_);
  log.Close();
  QCoreApplication::exit(0);
}

}  // namespace veltrane::gui
