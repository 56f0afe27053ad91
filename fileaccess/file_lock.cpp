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

Status FileLock::Take(const std::string& path, bool wait) {
  Release();
  const int fd =
      ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
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
  if (!status) {
    ::close(fd);
    return status;
  }
  fd_ = fd;
  return status;
}

void FileLock::Release() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace veltrane::fileaccess
