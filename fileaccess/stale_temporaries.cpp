// SPDX-License-Identifier: MIT
#include "fileaccess/stale_temporaries.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

namespace veltrane::fileaccess {
namespace {

// A writer holds its temporary file from creation to rename; one older than
// this that nobody holds was left behind.
constexpr std::time_t kStaleSeconds = 60;

// Removes the entry when it is a stale temporary file.
bool RemoveIfStale(int dir, const char* name, std::time_t now) {
  const int fd = ::openat(dir, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  const bool stale = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                     now - st.st_mtime >= kStaleSeconds && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  // The lock is held until the name is gone, so no writer can take the file meanwhile.
  const bool removed = stale && ::unlinkat(dir, name, 0) == 0;
  ::close(fd);
  return removed;
}

}  // namespace

int RemoveStaleTemporaries(const std::string& directory) {
  DIR* listing = ::opendir(directory.empty() ? "." : directory.c_str());
  if (listing == nullptr) return 0;
  const std::time_t now = std::time(nullptr);
  int removed = 0;
  while (const dirent* entry = ::readdir(listing))
    if (IsTemporaryName(entry->d_name) && RemoveIfStale(::dirfd(listing), entry->d_name, now))
      ++removed;
  ::closedir(listing);
  return removed;
}

}  // namespace veltrane::fileaccess
