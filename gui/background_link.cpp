// SPDX-License-Identifier: MIT
#include "gui/background_link.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QMessageBox>
#include <QWidget>
#include <QWindow>
#include <thread>

namespace veltrane::gui {
bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Close:
      return true;
    default:
      return false;
  }
}

namespace {

// The widget an event's target belongs to: itself, its nearest widget parent,
// or for a native window the top-level widget it shows.
QWidget* WidgetOf(QObject* target) {
  if (auto* window = qobject_cast<QWindow*>(target)) {
    for (QWidget* top : QApplication::topLevelWidgets())
      if (top->windowHandle() == window) return top;
    return nullptr;
  }
  for (QObject* o = target; o != nullptr; o = o->parent())
    if (auto* widget = qobject_cast<QWidget*>(o)) return widget;
  return nullptr;
}

bool InMessageBox(QObject* target) {
  QWidget* widget = WidgetOf(target);
  return widget != nullptr && qobject_cast<QMessageBox*>(widget->window()) != nullptr;
}

}  // namespace

BackgroundLink::BackgroundLink(ui::KeyboardLink& inner, bool& busy, QObject* parent)
    : QObject(parent), inner_(inner), busy_(busy), workerStep_([this] { StepFromWorker(); }) {}

template <typename Call>
auto BackgroundLink::Run(const ui::ProgressStep* step, Call call) -> decltype(call()) {
  if (closed_) return {};       // the program is ending: no keyboard is touched any more
  if (running_) return call();  // never nested in practice; stay on this thread if it happens
  running_ = true;
  const bool wasBusy = busy_;  // the command that made the call keeps its own mark
  busy_ = true;
  step_ = step;
  QCoreApplication::instance()->installEventFilter(this);

  QEventLoop loop;
  decltype(call()) result{};
  std::thread worker([&] {
    result = call();
    // Posted after the last step, so every step is shown before the loop ends.
    QMetaObject::invokeMethod(
        this, [&loop] { loop.quit(); }, Qt::QueuedConnection);
  });
  loop.exec();
  worker.join();
  DrainSteps();

  QCoreApplication::instance()->removeEventFilter(this);
  step_ = nullptr;
  busy_ = wasBusy;
  running_ = false;
  return result;
}

void BackgroundLink::StepFromWorker() {
  if (pendingSteps_.fetch_add(1) == 0)
    QMetaObject::invokeMethod(
        this, [this] { DrainSteps(); }, Qt::QueuedConnection);
}

void BackgroundLink::DrainSteps() {
  for (int n = pendingSteps_.exchange(0); n > 0; --n)
    if (step_ != nullptr && *step_) (*step_)();
}

std::string BackgroundLink::DetectKeyboard() {
  return Run(nullptr, [this] { return inner_.DetectKeyboard(); });
}

bool BackgroundLink::ProgramFirmWare(std::span<const std::uint8_t> bytes, unsigned address,
                                     unsigned count, const ui::ProgressStep& step) {
  return Run(&step, [&] { return inner_.ProgramFirmWare(bytes, address, count, workerStep_); });
}

bool BackgroundLink::ReadFirmWare(std::span<std::uint8_t> bytes, unsigned address, unsigned count,
                                  const ui::ProgressStep& step) {
  return Run(&step, [&] { return inner_.ReadFirmWare(bytes, address, count, workerStep_); });
}

ui::ChangedWordsResult BackgroundLink::ProgramChangedWords(std::span<const std::uint8_t> bytes,
                                                           unsigned address, unsigned count,
                                                           const ui::ProgressStep& step) {
  return Run(&step, [&] { return inner_.ProgramChangedWords(bytes, address, count, workerStep_); });
}

ui::ReadBackDownload BackgroundLink::ProgramAndReadBack(std::span<const std::uint8_t> bytes,
                                                        unsigned address, unsigned count,
                                                        std::span<std::uint8_t> readBack,
                                                        const ui::ProgressStep& step) {
  return Run(&step, [&] {
    return inner_.ProgramAndReadBack(bytes, address, count, readBack, workerStep_);
  });
}

bool BackgroundLink::eventFilter(QObject* target, QEvent* event) {
  if (running_ && IsUserInput(event->type()) && !InMessageBox(target)) {
    event->ignore();
    return true;
  }
  return QObject::eventFilter(target, event);
}

}  // namespace veltrane::gui
