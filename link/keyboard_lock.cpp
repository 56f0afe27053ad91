// SPDX-License-Identifier: MIT
#include "link/keyboard_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

namespace veltrane::link {
namespace {

struct Hold {
  std::thread::id owner;
  int fd = -1;
  int count = 0;
  bool made = false;  // a lock file of ours: its name goes with the last hold
};

// Whether the locked descriptor is still the file at path: a holder removes a
// lock file's name before it lets go, so a lock won on a removed file is worth nothing.
bool StillNamed(int fd, const std::string& path) {
  struct stat held {};
  struct stat named {};
  return ::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 &&
         held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

constexpr int kAttempts = 1000;

// The locks this process holds, by path. Only the holding thread counts
// itself in; every other thread goes through flock on a descriptor of its own.
std::mutex g_mutex;
std::map<std::string, Hold>& Holds() {
  static std::map<std::string, Hold> holds;
  return holds;
}

}  // namespace

LockOutcome TakeKeyboardLock(const LockTarget& target, bool wait, std::string& reason) {
  if (target.path.empty()) return LockOutcome::Taken;
  {
    const std::lock_guard lock(g_mutex);
    const auto found = Holds().find(target.path);
    if (found != Holds().end() && found->second.owner == std::this_thread::get_id()) {
      ++found->second.count;
      return LockOutcome::Taken;
    }
  }
  const int flags = (target.create ? O_RDWR | O_CREAT : O_RDONLY) | O_CLOEXEC | O_NOFOLLOW |
                    O_NOCTTY | O_NONBLOCK;
  int fd = -1;
  for (int attempt = 0; fd < 0; ++attempt) {
    if (attempt == kAttempts) {
      reason = target.path + ": " + std::strerror(EAGAIN);
      return LockOutcome::Failed;
    }
    fd = ::open(target.path.c_str(), flags, 0666);
    if (fd < 0) {
      reason = target.path + ": " + std::strerror(errno);
      return LockOutcome::Failed;
    }
    int locked = 0;
    while ((locked = ::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB))) != 0 && errno == EINTR) {
    }
    if (locked != 0) {
      const int error = errno;
      ::close(fd);
      if (error == EWOULDBLOCK) {
        reason = "busy: another program is working on it";
        return LockOutcome::Busy;
      }
      reason = target.path + ": " + std::strerror(error);
      return LockOutcome::Failed;
    }
    if (target.create && !StillNamed(fd, target.path)) {
      ::close(fd);  // its holder removed it meanwhile: take the file now at that name
      fd = -1;
    }
  }
  const std::lock_guard lock(g_mutex);
  Holds()[target.path] = Hold{std::this_thread::get_id(), fd, 1, target.create};
  return LockOutcome::Taken;
}

void ReleaseKeyboardLock(const std::string& path) {
  if (path.empty()) return;
  const std::lock_guard lock(g_mutex);
  const auto found = Holds().find(path);
  if (found == Holds().end() || found->second.owner != std::this_thread::get_id()) return;
  if (--found->second.count > 0) return;
  // The name goes while the lock is held: a waiter that wins the removed file tries again.
  if (found->second.made) ::unlink(path.c_str());
  ::close(found->second.fd);
  Holds().erase(found);
}

LockOutcome KeyboardLock::Take(const LockTarget& target, bool wait, std::string& reason) {
  Release();
  const LockOutcome outcome = TakeKeyboardLock(target, wait, reason);
  if (outcome == LockOutcome::Taken && !target.path.empty()) path_ = target.path;
  return outcome;
}

void KeyboardLock::Release() {
  ReleaseKeyboardLock(path_);
  path_.clear();
}

}  // namespace veltrane::link
