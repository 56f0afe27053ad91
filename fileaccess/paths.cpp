// SPDX-License-Identifier: MIT
#include "fileaccess/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

namespace veltrane::fileaccess {
namespace {

constexpr int kMaxLinks = 40;

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) ==
           std::toupper(static_cast<unsigned char>(y));
  });
}

}  // namespace

std::string AbsolutePath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.string();
}

std::string AbsoluteDirectoryOf(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) return {};
  std::string directory = absolute.parent_path().string();
  if (directory.empty() || directory.back() != '/') directory += '/';
  return directory;
}

std::string ExtensionVariant(const std::string& base, std::string_view extension) {
  const std::string exact = base + std::string(extension);
  std::error_code error;
  if (std::filesystem::symlink_status(exact, error).type() != std::filesystem::file_type::not_found)
    return exact;
  const std::size_t slash = base.rfind('/');
  const std::string directory = slash == std::string::npos ? "" : base.substr(0, slash + 1);
  const std::string name = base.substr(directory.size());
  std::string found;
  for (std::filesystem::directory_iterator it(directory.empty() ? "." : directory, error), end;
       !error && it != end; it.increment(error)) {
    const std::string entry = it->path().filename().string();
    if (entry.size() == name.size() + extension.size() && entry.starts_with(name) &&
        SameIgnoringCase(std::string_view(entry).substr(name.size()), extension) &&
        (found.empty() || entry < found))
      found = entry;
  }
  return found.empty() ? exact : directory + found;
}

std::optional<std::uintmax_t> FileSize(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) return std::nullopt;
  return size;
}

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
