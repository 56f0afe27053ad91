// SPDX-License-Identifier: MIT
#include "gui/signal_watch.h"

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>

namespace veltrane::gui {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

std::atomic<int> writeEnd{-1};

// Async-signal-safe: one write of one byte, errno kept.
void OnSignal(int number) {
  const int saved = errno;
  const char byte = static_cast<char>(number);
  if (const int fd = writeEnd.load(); fd >= 0) [[maybe_unused]]
    const auto n = ::write(fd, &byte, 1);
  errno = saved;
}

}  // namespace

SignalWatch::SignalWatch(QObject* parent) : QObject(parent) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, sockets_) != 0) return;
  writeEnd.store(sockets_[0]);
  notifier_ = std::make_unique<QSocketNotifier>(sockets_[1], QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { Read(); });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int number : kSignals) ::sigaction(number, &action, nullptr);
}

SignalWatch::~SignalWatch() {
  for (const int number : kSignals) std::signal(number, SIG_DFL);
  writeEnd.store(-1);
  notifier_.reset();
  for (const int fd : sockets_)
    if (fd >= 0) ::close(fd);
}

void SignalWatch::Read() {
  char byte = 0;
  while (::read(sockets_[1], &byte, 1) == 1) emit received(static_cast<unsigned char>(byte));
}

}  // namespace veltrane::gui
