// SPDX-License-Identifier: MIT
// The program's message boxes: every model::MessageSink message as a
// QMessageBox over the main window, from any thread.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <functional>
#include <string>

#include "model/diagnostics.h"
#include "ui/app/recovery_offer.h"
#include "ui/main_window/window_host.h"

namespace veltrane::gui {

inline constexpr const char* kApplicationName = "Veltrane";

QMessageBox::Icon BoxIcon(model::MessageIcon icon);

class MessageBoxes : public QObject, public model::MessageSink {
  Q_OBJECT
 public:
  // Answers a box in place of the user; the box is then not shown.
  using Answer = std::function<void(const std::string& text, const std::string& caption,
                                    model::MessageIcon icon)>;

  explicit MessageBoxes(QObject* parent = nullptr) : QObject(parent) {}
  void SetParentWindow(QWidget* window) { window_ = window; }
  void SetAnswer(Answer answer) { answer_ = std::move(answer); }
  // Answers the "Save changes?" question in place of the user, given its text.
  using Choice = std::function<ui::SaveChoice(const std::string& text)>;
  void SetChoice(Choice choice) { choice_ = std::move(choice); }
  // Answers the Yes/No questions in place of the user, given their text.
  using YesNo = std::function<bool(const std::string& text)>;
  void SetYesNo(YesNo yesNo) { yesNo_ = std::move(yesNo); }

  // Called off the GUI thread, the box is shown on the GUI thread and the
  // caller waits until it is closed; the GUI thread must be running an event loop.
  void Show(std::string_view text, std::string_view caption, model::MessageIcon icon) override;

  // The question ("Save changes to NAME?") with Save (the default), Discard
  // and Cancel (also the Escape key and the close box); on the GUI thread.
  ui::SaveChoice AskSaveChanges(const std::string& question);

  // The question with Yes and No, No the default (also Escape and the close
  // box), over the dialog in front; true for Yes. On the GUI thread.
  bool AskYesNo(const std::string& question, const std::string& caption);

  // The recovery question with Restore (the default) and Discard; Escape and
  // the close box keep the copy for later. On the GUI thread.
  ui::RestoreChoice AskRestore(const std::string& question);
  using RestoreAnswer = std::function<ui::RestoreChoice(const std::string& question)>;
  void SetRestoreAnswer(RestoreAnswer answer) { restoreAnswer_ = std::move(answer); }

  // While the program ends: no box is shown any more, and one on screen is closed.
  void SetQuiet();

 private:
  void ShowHere(const std::string& text, const std::string& caption, model::MessageIcon icon);

  QPointer<QWidget> window_;
  Answer answer_;
  Choice choice_;
  RestoreAnswer restoreAnswer_;
  bool quiet_ = false;
  QPointer<QMessageBox> shown_;
  YesNo yesNo_;
};

}  // namespace veltrane::gui
