// SPDX-License-Identifier: MIT
// Answers the modal dialog a command opens, for the widget tests.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

namespace veltrane::testing {

// Runs `act`, closing the first modal dialog that comes up once `inspect` has seen it.
inline void WithModalDialog(const std::function<void()>& act,
                            const std::function<void(QDialog&)>& inspect) {
  QTimer timer;
  timer.setInterval(5);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    timer.stop();
    inspect(*dialog);
    if (dialog->isVisible()) dialog->reject();  // unless `inspect` closed it
  });
  timer.start();
  act();
}

}  // namespace veltrane::testing
