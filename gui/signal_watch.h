// SPDX-License-Identifier: MIT
// SIGTERM, SIGHUP and SIGINT (a desktop log-out, a closed terminal, Ctrl-C)
// delivered to the event loop: the handler only writes the signal's number
// to a socket pair, and a QSocketNotifier hands it on as `received`.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace veltrane::gui {

class SignalWatch : public QObject {
  Q_OBJECT
 public:
  // Takes the three signals over; one watch at a time.
  explicit SignalWatch(QObject* parent = nullptr);
  // Gives them back to their default action.
  ~SignalWatch() override;

 signals:
  void received(int signal);

 private:
  void Read();

  int sockets_[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace veltrane::gui
