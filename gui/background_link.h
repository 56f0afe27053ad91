// SPDX-License-Identifier: MIT
// Keeps the window alive during keyboard transfers.
//
// Each call of the inner link runs on a worker thread while the GUI thread
// spins a local event loop until it returns: the window keeps repainting, the
// progress steps the library reports on the worker are posted back to the GUI
// thread (coalesced when the GUI thread falls behind), and the library's
// message boxes reach the GUI thread through MessageBoxes, whose worker-side
// call waits for the box. The inner link and its library are only ever used by
// one thread at a time. Meanwhile no other command may start: an application
// event filter swallows user input (mouse, keys, wheel, shortcuts, close
// requests) to every window except the message boxes, and the window model's
// `busy` flag is set. Input is swallowed rather than widgets disabled so that
// the window does not flicker grey for the short detection calls.
#pragma once

#include <QEvent>
#include <QObject>
#include <atomic>

#include "ui/app/keyboard_link.h"

namespace veltrane::gui {

// Mouse, keys, wheel, touch, shortcuts and close requests: what a user does.
bool IsUserInput(QEvent::Type type);

class BackgroundLink : public QObject, public ui::KeyboardLink {
  Q_OBJECT
 public:
  // `busy` is set while a call runs (the window model's flag).
  BackgroundLink(ui::KeyboardLink& inner, bool& busy, QObject* parent = nullptr);

  std::string DetectKeyboard() override;
  bool ProgramFirmWare(std::span<const std::uint8_t> bytes, unsigned address, unsigned count,
                       const ui::ProgressStep& step) override;
  bool ReadFirmWare(std::span<std::uint8_t> bytes, unsigned address, unsigned count,
                    const ui::ProgressStep& step) override;
  ui::ChangedWordsResult ProgramChangedWords(std::span<const std::uint8_t> bytes, unsigned address,
                                             unsigned count, const ui::ProgressStep& step) override;
  ui::ReadBackDownload ProgramAndReadBack(std::span<const std::uint8_t> bytes, unsigned address,
                                          unsigned count, std::span<std::uint8_t> readBack,
                                          const ui::ProgressStep& step) override;
  std::string AccessProblem() override { return inner_.AccessProblem(); }
  // The inner link keeps the status of its last call, made on the worker.
  ui::LinkStatus LastStatus() override { return inner_.LastStatus(); }

  bool running() const { return running_; }
  // From now on no call reaches the keyboard: the program is ending.
  void Close() { closed_ = true; }

 protected:
  bool eventFilter(QObject* target, QEvent* event) override;

 private:
  template <typename Call>
  auto Run(const ui::ProgressStep* step, Call call) -> decltype(call());
  void StepFromWorker();
  void DrainSteps();

  ui::KeyboardLink& inner_;
  bool& busy_;
  bool running_ = false;
  bool closed_ = false;
  const ui::ProgressStep* step_ = nullptr;
  ui::ProgressStep workerStep_;
  std::atomic<int> pendingSteps_{0};
};

}  // namespace veltrane::gui
