// SPDX-License-Identifier: MIT
#include "fileaccess/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace veltrane::fileaccess {

Status FileLock::Acquire(const std::string& path) {
  return Take(path, true);
}

Status FileLock::TryAcquire(const std::string& path) {
  return Take(path, false);
}

namespace {

constexpr int kAttempts = 1000;

// Whether the locked descriptor is still the file at path: a holder removes
// the name before it lets go, so a lock won on a removed file is worth nothing.
bool StillNamed(int fd, const std::string& path) {
  struct stat held {};
  struct stat named {};
  return ::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 &&
         held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

}  // namespace

Status FileLock::Take(const std::string& path, bool wait) {
  Release();
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const int fd = ::open(path.c_str(),
                          O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) return SystemFailure(path, errno);
    struct stat st {};
    Status status;
    if (::fstat(fd, &st) != 0) {
      status = SystemFailure(path, errno);
    } else if (!S_ISREG(st.st_mode)) {
      status = NotRegularFailure(path, st.st_mode);
    } else {
      int result = 0;
      while ((result = ::flock(fd, wait ? LOCK_EX : LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
      }
      if (result != 0) status = SystemFailure(path, errno);
    }
    if (status && !StillNamed(fd, path)) {
      ::close(fd);  // its holder removed it meanwhile: take the file now at that name
      continue;
    }
    if (!status) {
      ::close(fd);
      return status;
    }
    fd_ = fd;
    path_ = path;
    return status;
  }
  return SystemFailure(path, EAGAIN);
}

void FileLock::Release() {
  if (fd_ < 0) return;
  // The name goes while the lock is held: a waiter that wins the removed file tries again.
  ::unlink(path_.c_str());
  ::close(fd_);
  fd_ = -1;
}

}  // namespace veltrane::fileaccess
