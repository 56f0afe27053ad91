// SPDX-License-Identifier: MIT
#include "fileaccess/append_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "fileaccess/paths.h"

namespace veltrane::fileaccess {
namespace {

constexpr int kFlags = O_WRONLY | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

// The open file, created when missing; `created` tells which.
int OpenForAppend(const std::string& path, bool& created) {
  created = false;
  int fd = ::open(path.c_str(), kFlags);
  if (fd >= 0 || errno != ENOENT) return fd;
  fd = ::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0666);
  if (fd >= 0) {
    created = true;
    return fd;
  }
  // Another writer created it meanwhile.
  return errno == EEXIST ? ::open(path.c_str(), kFlags) : -1;
}

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = EIO;
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool SyncDirectoryOf(const std::string& path) {
  const int dir = ::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return false;
  const bool synced = ::fsync(dir) == 0 || errno == EINVAL || errno == ENOTSUP;
  const int code = errno;
  ::close(dir);
  errno = code;
  return synced;
}

Status Failure(int fd, const std::string& path, int code) {
  ::close(fd);
  return SystemFailure(path, code);
}

}  // namespace

Status AppendSynced(const std::string& path, std::string_view text) {
  bool created = false;
  const int fd = OpenForAppend(path, created);
  if (fd < 0) {
    const int code = errno;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
      return NotRegularFailure(path, st.st_mode);
    return SystemFailure(path, code);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) return Failure(fd, path, errno);
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    return NotRegularFailure(path, st.st_mode);
  }
  if (!WriteAll(fd, text) || ::fsync(fd) != 0) {
    const int code = errno;
    if (::ftruncate(fd, st.st_size) == 0) ::fsync(fd);
    return Failure(fd, path, code);
  }
  if (::close(fd) != 0) return SystemFailure(path, errno);
  if (created && !SyncDirectoryOf(path)) return SystemFailure(DirectoryOf(path), errno);
  return Success();
}

}  // namespace veltrane::fileaccess
