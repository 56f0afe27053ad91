// SPDX-License-Identifier: MIT
#include "fileaccess/same_file.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>

#include "fileaccess/paths.h"

namespace veltrane::fileaccess {
namespace {

// The absolute path a file is or would be at; empty when its directory cannot be found.
std::string ResolvedPath(const std::string& path) {
  std::string target;
  if (path.empty() || !FollowLinks(path, target)) return {};
  char directory[PATH_MAX];
  if (::realpath(DirectoryOf(target).c_str(), directory) == nullptr) return {};
  const std::string name = NameOf(target);
  if (name.empty() || name == "." || name == "..") {
    char whole[PATH_MAX];
    return ::realpath(target.c_str(), whole) != nullptr ? whole : std::string();
  }
  const std::string base = directory;
  return (base == "/" ? base : base + "/") + name;
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  const bool aExists = ::stat(a.c_str(), &first) == 0;
  const bool bExists = ::stat(b.c_str(), &second) == 0;
  if (aExists && bExists) return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
  const std::string resolvedA = ResolvedPath(a);
  return !resolvedA.empty() && resolvedA == ResolvedPath(b);
}

}  // namespace veltrane::fileaccess
