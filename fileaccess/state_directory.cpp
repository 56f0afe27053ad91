// SPDX-License-Identifier: MIT
#include "fileaccess/state_directory.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace veltrane::fileaccess {
namespace {

std::string HomeDirectory() {
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return home;
  const passwd* entry = ::getpwuid(::getuid());
  return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

std::string WithSlash(std::string path) {
  if (!path.empty() && path.back() != '/') path += '/';
  return path;
}

}  // namespace

std::string StateDirectory() {
  if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && state[0] == '/')
    return WithSlash(state) + "veltrane/";
  const std::string home = HomeDirectory();
  return home.empty() ? std::string() : WithSlash(home) + ".local/state/veltrane/";
}

Status MakeDirectories(const std::string& path) {
  if (path.empty()) return SystemFailure(path, ENOENT);
  for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
    const std::string part = path.substr(0, end);
    struct stat st {};
    if (::stat(part.c_str(), &st) == 0) {
      if (!S_ISDIR(st.st_mode))
        return Status{false, part + " is " + FileKind(st.st_mode) + ", not a directory", ENOTDIR};
    } else if (errno != ENOENT || (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)) {
      return SystemFailure(part, errno);
    }
    if (end == std::string::npos || end + 1 >= path.size()) return Success();
  }
}

}  // namespace veltrane::fileaccess
