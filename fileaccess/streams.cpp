// SPDX-License-Identifier: MIT
#include "fileaccess/streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "fileaccess/paths.h"
#include "fileaccess/status.h"
#include "fileaccess/temporary_name.h"

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

// A new file in `dir` renamed over `name`; `path` names it in failures.
OpenedStream CreateInPlaceOf(int dir, const std::string& name, const std::string& path) {
  // A device, FIFO, socket or directory keeps its name: renaming over /dev/null would be a
  // disaster.
  struct stat st {};
  if (::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(st.st_mode) &&
      !S_ISLNK(st.st_mode))
    return OpenedStream{nullptr, NotRegularFailure(path, st.st_mode).reason};
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = TemporaryNameFor(name);
    fd = ::openat(dir, temp.c_str(),
                  O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_APPEND | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return OpenedStream{nullptr, SystemFailure(path, errno).reason};
  if (::renameat(dir, temp.c_str(), dir, name.c_str()) != 0) {
    const int code = errno;
    ::unlinkat(dir, temp.c_str(), 0);
    return Refuse(fd, SystemFailure(path, code).reason);
  }
  return Stream(fd, path, "a");
}

}  // namespace

OpenedStream OpenLogFile(const std::string& path) {
  const std::string name = NameOf(path);
  if (name.empty()) return OpenedStream{nullptr, SystemFailure(path, EISDIR).reason};
  const int dir = ::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return OpenedStream{nullptr, SystemFailure(path, errno).reason};
  OpenedStream opened = CreateInPlaceOf(dir, name, path);
  ::close(dir);
  return opened;
}

OpenedStream OpenNamedLog(const std::string& path) {
  const int fd =
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) return OpenFailure(path, errno, true);
  struct stat st {};
  if (::fstat(fd, &st) != 0) return Refuse(fd, SystemFailure(path, errno).reason);
  if (!S_ISREG(st.st_mode) && !S_ISCHR(st.st_mode) && !S_ISFIFO(st.st_mode))
    return Refuse(fd, NotRegularFailure(path, st.st_mode).reason);
  if (S_ISREG(st.st_mode) && ::ftruncate(fd, 0) != 0)
    return Refuse(fd, SystemFailure(path, errno).reason);
  return Stream(fd, path, "a");
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
