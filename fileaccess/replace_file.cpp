#include "fileaccess/replace_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "fileaccess/paths.h"

namespace veltrane::fileaccess {
namespace {

constexpr int kTempAttempts = 100;

// What the replaced file had; absent for a new one.
struct Existing {
  mode_t mode;
  uid_t owner;
  gid_t group;
};

std::string TempName() {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  unsigned char random[6] = {};
  if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
    static unsigned counter = 0;
    const unsigned seed = static_cast<unsigned>(::getpid()) * 2654435761u + ++counter;
    for (std::size_t k = 0; k < sizeof random; ++k)
      random[k] = static_cast<unsigned char>(seed >> (k * 5));
  }
  std::string name = ".vt";
  for (const unsigned char r : random) name += kAlphabet[r % (sizeof kAlphabet - 1)];
  return name;
}

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

int CreateTemp(int dir, std::string& name) {
  for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
    name = TempName();
    const int fd =
        ::openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Fills the temporary file and gives it the old file's owner and mode;
// the owner first, since a change of owner clears the set-id bits.
bool FillTemp(int fd, std::span<const std::uint8_t> bytes,
              const std::optional<Existing>& existing) {
  if (!WriteAll(fd, bytes)) return false;
  if (existing) {
    if (::fchown(fd, existing->owner, existing->group) != 0 && errno != EPERM) return false;
    if (::fchmod(fd, existing->mode) != 0) return false;
  }
  return ::fsync(fd) == 0;
}

// Some file systems cannot sync a directory; the rename is then as durable as they make it.
bool SyncDirectory(int dir) {
  return ::fsync(dir) == 0 || errno == EINVAL || errno == ENOTSUP;
}

Status WriteInDirectory(int dir, const std::string& path, const std::string& target,
                        std::span<const std::uint8_t> bytes,
                        const std::optional<Existing>& existing) {
  std::string temp;
  const int fd = CreateTemp(dir, temp);
  if (fd < 0) return SystemFailure(path, errno);
  bool ok = FillTemp(fd, bytes, existing);
  int code = ok ? 0 : errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    code = errno;
  }
  if (ok && ::renameat(dir, temp.c_str(), dir, NameOf(target).c_str()) != 0) {
    ok = false;
    code = errno;
  }
  if (!ok) {
    ::unlinkat(dir, temp.c_str(), 0);
    return SystemFailure(path, code);
  }
  if (!SyncDirectory(dir)) return SystemFailure(path, errno);
  return Success();
}

}  // namespace

Status ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  std::string target;
  std::optional<Existing> existing;
  Status status = Examine(path, target, existing);
  if (!status) return status;
  const int dir = ::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return SystemFailure(path, errno);
  status = WriteInDirectory(dir, path, target, bytes, existing);
  ::close(dir);
  return status;
}

Status ReplaceFile(const std::string& path, std::string_view text) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  return ReplaceFile(path, std::span<const std::uint8_t>(bytes, text.size()));
}

}  // namespace veltrane::fileaccess
