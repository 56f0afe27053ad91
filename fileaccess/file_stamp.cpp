// SPDX-License-Identifier: MIT
#include "fileaccess/file_stamp.h"

#include <sys/stat.h>

namespace veltrane::fileaccess {

std::optional<FileStamp> StampOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileStamp{st.st_dev, st.st_ino, st.st_mtim.tv_sec, st.st_mtim.tv_nsec, st.st_size};
}

}  // namespace veltrane::fileaccess
