// SPDX-License-Identifier: MIT
#include "fileaccess/status.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace veltrane::fileaccess {

Status SystemFailure(const std::string& path, int code) {
  return Status{false, path + ": " + std::strerror(code), code};
}

Status NotRegularFailure(const std::string& path, mode_t mode) {
  return Status{false, path + " is " + FileKind(mode) + ", not a regular file", 0};
}

const char* FileKind(mode_t mode) {
  if (S_ISREG(mode)) return "a regular file";
  if (S_ISDIR(mode)) return "a directory";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISLNK(mode)) return "a symbolic link";
  return "a special file";
}

}  // namespace veltrane::fileaccess
