#include "fileaccess/streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "fileaccess/status.h"

namespace veltrane::fileaccess {
namespace {

// Why an open failed: a link (ELOOP under O_NOFOLLOW), a FIFO without a
// reader (ENXIO) or a directory are named for what they are.
OpenedStream OpenFailure(const std::string& path, int code, bool followsLinks) {
  struct stat st {};
  const int found = followsLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
  if (found == 0 && !S_ISREG(st.st_mode))
    return OpenedStream{nullptr, NotRegularFailure(path, st.st_mode).reason};
  return OpenedStream{nullptr, SystemFailure(path, code).reason};
}

OpenedStream Refuse(int fd, std::string reason) {
  ::close(fd);
  return OpenedStream{nullptr, std::move(reason)};
}

// Blocking writes from here on, so that a busy terminal loses no line.
OpenedStream Stream(int fd, const std::string& path, const char* mode) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
    return Refuse(fd, SystemFailure(path, errno).reason);
  std::FILE* file = ::fdopen(fd, mode);
  if (file == nullptr) return Refuse(fd, SystemFailure(path, errno).reason);
  return OpenedStream{file, {}};
}

}  // namespace

OpenedStream OpenLogFile(const std::string& path) {
  const int fd = ::open(path.c_str(),
                        O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) return OpenFailure(path, errno, false);
  struct stat st {};
  if (::fstat(fd, &st) != 0) return Refuse(fd, SystemFailure(path, errno).reason);
  if (!S_ISREG(st.st_mode)) return Refuse(fd, NotRegularFailure(path, st.st_mode).reason);
  if (::ftruncate(fd, 0) != 0) return Refuse(fd, SystemFailure(path, errno).reason);
  return Stream(fd, path, "w");
}

OpenedStream OpenAppendFile(const std::string& path) {
  const int fd =
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) return OpenFailure(path, errno, true);
  struct stat st {};
  if (::fstat(fd, &st) != 0) return Refuse(fd, SystemFailure(path, errno).reason);
  if (!S_ISREG(st.st_mode) && !S_ISCHR(st.st_mode))
    return Refuse(fd, NotRegularFailure(path, st.st_mode).reason);
  return Stream(fd, path, "a");
}

}  // namespace veltrane::fileaccess
