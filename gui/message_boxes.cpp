// SPDX-License-Identifier: MIT
#include "gui/message_boxes.h"

#include <QApplication>
#include <QPushButton>
#include <QThread>

namespace veltrane::gui {

QMessageBox::Icon BoxIcon(model::MessageIcon icon) {
  switch (icon) {
    case model::MessageIcon::None:
      return QMessageBox::NoIcon;
    case model::MessageIcon::Information:
      return QMessageBox::Information;
    case model::MessageIcon::Warning:
      return QMessageBox::Warning;
    case model::MessageIcon::Error:
      return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

void MessageBoxes::Show(std::string_view text, std::string_view caption, model::MessageIcon icon) {
  const std::string ownText(text);
  const std::string ownCaption(caption);
  if (QThread::currentThread() == thread()) {
    ShowHere(ownText, ownCaption, icon);
    return;
  }
  QMetaObject::invokeMethod(
      this, [&] { ShowHere(ownText, ownCaption, icon); }, Qt::BlockingQueuedConnection);
}

void MessageBoxes::ShowHere(const std::string& text, const std::string& caption,
                            model::MessageIcon icon) {
  if (answer_) {
    answer_(text, caption, icon);
    return;
  }
  if (quiet_) return;
  const QString title =
      caption.empty() ? QString(kApplicationName) : QString::fromStdString(caption);
  QMessageBox box(BoxIcon(icon), title, QString::fromStdString(text), QMessageBox::Ok, window_);
  shown_ = &box;
  box.exec();
}

}  // namespace veltrane::gui

namespace veltrane::gui {

ui::SaveChoice MessageBoxes::AskSaveChanges(const std::string& question) {
  if (choice_) return choice_(question);
  const QString text = QString::fromStdString(question);
  QMessageBox box(QMessageBox::Warning, kApplicationName, text,
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, window_);
  box.setDefaultButton(QMessageBox::Save);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Save:
      return ui::SaveChoice::Save;
    case QMessageBox::Discard:
      return ui::SaveChoice::Discard;
    default:
      return ui::SaveChoice::Cancel;
  }
}

bool MessageBoxes::AskYesNo(const std::string& question, const std::string& caption) {
  if (yesNo_) return yesNo_(question);
  QWidget* front = QApplication::activeModalWidget();
  QMessageBox box(QMessageBox::Warning, QString::fromStdString(caption),
                  QString::fromStdString(question), QMessageBox::Yes | QMessageBox::No,
                  front != nullptr ? front : window_.data());
  box.setDefaultButton(QMessageBox::No);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace veltrane::gui

namespace veltrane::gui {

ui::RestoreChoice MessageBoxes::AskRestore(const std::string& question) {
  if (restoreAnswer_) return restoreAnswer_(question);
  QMessageBox box(QMessageBox::Question, kApplicationName, QString::fromStdString(question),
                  QMessageBox::NoButton, window_);
  QPushButton* restore = box.addButton(QStringLiteral("Restore"), QMessageBox::AcceptRole);
  QPushButton* discard = box.addButton(QStringLiteral("Discard"), QMessageBox::DestructiveRole);
  box.setDefaultButton(restore);
  shown_ = &box;
  box.exec();
  if (box.clickedButton() == restore) return ui::RestoreChoice::Restore;
  if (box.clickedButton() == discard) return ui::RestoreChoice::Discard;
  return ui::RestoreChoice::Later;
}

void MessageBoxes::SetQuiet() {
  quiet_ = true;
  if (shown_) shown_->done(QMessageBox::Ok);
}

}  // namespace veltrane::gui
