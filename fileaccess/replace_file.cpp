// SPDX-License-Identifier: MIT
#include "fileaccess/replace_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>

#include "fileaccess/paths.h"
#include "fileaccess/temporary_name.h"

namespace veltrane::fileaccess {
namespace {

constexpr int kTempAttempts = 100;

// What the replaced file had; absent for a new one.
struct Existing {
  mode_t mode;
  uid_t owner;
  gid_t group;
};

// The file to be replaced: its name in its directory, what it had, and whether
// the new content and the rename are synced before success.
struct Replacement {
  std::string name;
  std::optional<Existing> existing;
  bool sync = true;
};

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {
      errno = EIO;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Where the bytes go and what is already there; a failure names `path`.
Status Examine(const std::string& path, std::string& target, std::optional<Existing>& existing) {
  if (path.empty()) return SystemFailure(path, ENOENT);
  if (!FollowLinks(path, target)) return SystemFailure(path, errno);
  struct stat st {};
  if (::lstat(target.c_str(), &st) != 0) {
    if (errno != ENOENT) return SystemFailure(path, errno);
    if (NameOf(target).empty()) return SystemFailure(path, EISDIR);
    return Success();
  }
  if (!S_ISREG(st.st_mode)) return NotRegularFailure(path, st.st_mode);
  if ((st.st_mode & S_IWUSR) == 0) return Status{false, path + " is read-only", EACCES};
  existing = Existing{st.st_mode & 07777, st.st_uid, st.st_gid};
  return Success();
}

// A named temporary file beside the target, locked while this process holds it.
int CreateTemp(int dir, const std::string& targetName, std::string& name) {
  for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
    name = TemporaryNameFor(targetName);
    const int fd =
        ::openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) ::flock(fd, LOCK_EX);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// A file in the directory without a name (O_TMPFILE), so that a save cut
// short while it writes leaves nothing behind; -1 where the file system has none.
int CreateUnnamed(int dir) {
  const int fd = ::openat(dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd >= 0) ::flock(fd, LOCK_EX);
  return fd;
}

// Gives a filled unnamed file its temporary name, just before the rename.
bool NameUnnamed(int fd, int dir, const std::string& targetName, std::string& name) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
    name = TemporaryNameFor(targetName);
    if (::linkat(AT_FDCWD, self.c_str(), dir, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    // Without /proc a privileged process may still link the descriptor itself.
    if (errno == ENOENT && ::linkat(fd, "", dir, name.c_str(), AT_EMPTY_PATH) == 0) return true;
    if (errno != EEXIST) return false;
  }
  return false;
}

// Fills the temporary file and gives it the old file's owner and mode;
// the owner first, since a change of owner clears the set-id bits.
bool FillTemp(int fd, std::span<const std::uint8_t> bytes, const Replacement& target) {
  const std::optional<Existing>& existing = target.existing;
  if (!WriteAll(fd, bytes)) return false;
  if (existing) {
    if (::fchown(fd, existing->owner, existing->group) != 0 && errno != EPERM) return false;
    if (::fchmod(fd, existing->mode) != 0) return false;
  }
  return !target.sync || ::fsync(fd) == 0;
}

// Some file systems cannot sync a directory; the rename is then as durable as they make it.
bool SyncDirectory(int dir) {
  return ::fsync(dir) == 0 || errno == EINVAL || errno == ENOTSUP;
}

// Closes a filled temporary file; false with errno set when that fails.
bool CloseFilled(int fd, bool ok) {
  const int code = errno;
  const bool closed = ::close(fd) == 0;
  if (ok && !closed) return false;
  errno = code;
  return ok;
}

bool WriteNamedTemp(int dir, const Replacement& target, std::string& temp,
                    std::span<const std::uint8_t> bytes) {
  const int fd = CreateTemp(dir, target.name, temp);
  if (fd < 0) return false;
  const bool ok = CloseFilled(fd, FillTemp(fd, bytes, target));
  const int code = errno;
  if (!ok) ::unlinkat(dir, temp.c_str(), 0);
  errno = code;
  return ok;
}

// Fills an unnamed temporary file and then names it. 1 when done, 0 when it
// failed (errno set), -1 when the file system has no unnamed files or the
// filled file could not be named: then it is to be written under a name.
int WriteUnnamedTemp(int dir, const Replacement& target, std::string& temp,
                     std::span<const std::uint8_t> bytes) {
  const int fd = CreateUnnamed(dir);
  if (fd < 0) return -1;
  if (!FillTemp(fd, bytes, target)) {
    CloseFilled(fd, false);
    return 0;
  }
  if (!NameUnnamed(fd, dir, target.name, temp)) {
    ::close(fd);
    return -1;
  }
  if (CloseFilled(fd, true)) return 1;
  const int code = errno;
  ::unlinkat(dir, temp.c_str(), 0);
  errno = code;
  return 0;
}

// Writes the bytes into a temporary file beside the target; false with errno set.
bool WriteTemp(int dir, const Replacement& target, std::string& temp,
               std::span<const std::uint8_t> bytes) {
  const int unnamed = WriteUnnamedTemp(dir, target, temp, bytes);
  if (unnamed >= 0) return unnamed == 1;
  return WriteNamedTemp(dir, target, temp, bytes);
}

Status WriteInDirectory(int dir, const std::string& path, const Replacement& target,
                        std::span<const std::uint8_t> bytes) {
  std::string temp;
  if (!WriteTemp(dir, target, temp, bytes)) return SystemFailure(path, errno);
  if (::renameat(dir, temp.c_str(), dir, target.name.c_str()) != 0) {
    const int code = errno;
    ::unlinkat(dir, temp.c_str(), 0);
    return SystemFailure(path, code);
  }
  if (target.sync && !SyncDirectory(dir)) return SystemFailure(path, errno);
  return Success();
}

}  // namespace

Status ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes,
                   Durability durability) {
  std::string target;
  Replacement replacement;
  Status status = Examine(path, target, replacement.existing);
  if (!status) return status;
  replacement.name = NameOf(target);
  replacement.sync = durability == Durability::Synced;
  const int dir = ::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return SystemFailure(path, errno);
  status = WriteInDirectory(dir, path, replacement, bytes);
  ::close(dir);
  return status;
}

Status ReplaceFile(const std::string& path, std::string_view text, Durability durability) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  return ReplaceFile(path, std::span<const std::uint8_t>(bytes, text.size()), durability);
}

}  // namespace veltrane::fileaccess
