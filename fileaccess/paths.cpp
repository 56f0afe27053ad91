#include "fileaccess/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace veltrane::fileaccess {
namespace {

constexpr int kMaxLinks = 40;

}  // namespace

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool FollowLinks(const std::string& path, std::string& target) {
  target = path;
  for (int hops = 0; hops <= kMaxLinks; ++hops) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0) return errno == ENOENT;
    if (!S_ISLNK(st.st_mode)) return true;
    std::vector<char> link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 2);
    const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
    if (n < 0) return false;
    if (static_cast<std::size_t>(n) >= link.size()) {
      errno = ENAMETOOLONG;
      return false;
    }
    const std::string next(link.data(), static_cast<std::size_t>(n));
    target = next.starts_with('/') ? next : DirectoryOf(target) + "/" + next;
  }
  errno = ELOOP;
  return false;
}

}  // namespace veltrane::fileaccess
