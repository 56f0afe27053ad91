// SPDX-License-Identifier: MIT
#include "fileaccess/file_names.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace veltrane::fileaccess {

Status RemoveFile(const std::string& path) {
  if (::unlink(path.c_str()) == 0 || errno == ENOENT) return Success();
  return SystemFailure(path, errno);
}

Status RenameFile(const std::string& from, const std::string& to) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return Success();
  return SystemFailure(from, errno);
}

std::optional<std::time_t> ModificationTime(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return st.st_mtime;
}

}  // namespace veltrane::fileaccess
