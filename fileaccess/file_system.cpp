// SPDX-License-Identifier: MIT
#include "fileaccess/file_system.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>

#include "fileaccess/read_file.h"

namespace veltrane::fileaccess {
namespace {

std::string DecodeMountPath(std::string_view field) {
  std::string path;
  for (std::size_t i = 0; i < field.size(); ++i) {
    const auto isOctal = [&](std::size_t at) { return field[at] >= '0' && field[at] <= '7'; };
    const bool octal = field[i] == '\\' && i + 3 < field.size() && isOctal(i + 1) &&
                       isOctal(i + 2) && isOctal(i + 3);
    if (octal) {
      path.push_back(static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                                       (field[i + 3] - '0')));
      i += 3;
    } else {
      path.push_back(field[i]);
    }
  }
  return path;
}

void AddOnce(std::vector<std::string>& list, std::string item) {
  if (std::find(list.begin(), list.end(), item) == list.end()) list.push_back(std::move(item));
}

DirectoryEntry::Kind KindOf(int directory, const char* name) {
  struct stat info {};
  if (::fstatat(directory, name, &info, 0) != 0) return DirectoryEntry::Kind::Other;
  if (S_ISDIR(info.st_mode)) return DirectoryEntry::Kind::Directory;
  if (S_ISREG(info.st_mode)) return DirectoryEntry::Kind::RegularFile;
  return DirectoryEntry::Kind::Other;
}

}  // namespace

bool IsWithin(std::string_view path, std::string_view base) {
  if (base == "/") return !path.empty() && path.front() == '/';
  if (!path.starts_with(base)) return false;
  return path.size() == base.size() || path[base.size()] == '/';
}

std::vector<std::string> MountedVolumes(std::string_view mountsText) {
  std::vector<std::string> volumes;
  while (!mountsText.empty()) {
    const std::size_t end = std::min(mountsText.find('\n'), mountsText.size());
    const std::string_view line = mountsText.substr(0, end);
    mountsText.remove_prefix(std::min(end + 1, mountsText.size()));
    const std::size_t start = line.find(' ');
    if (start == std::string_view::npos) continue;
    const std::size_t stop = line.find(' ', start + 1);
    const std::string path = DecodeMountPath(line.substr(start + 1, stop - start - 1));
    if (IsWithin(path, "/media") || IsWithin(path, "/mnt") || IsWithin(path, "/run/media"))
      AddOnce(volumes, path);
  }
  return volumes;
}

std::vector<std::string> StartPlaces(std::string_view home, std::string_view mountsText) {
  std::vector<std::string> places = {"/"};
  if (!home.empty()) AddOnce(places, std::string(home));
  for (std::string& volume : MountedVolumes(mountsText)) AddOnce(places, std::move(volume));
  return places;
}

Status RealFileSystem::List(const std::string& directory, std::vector<DirectoryEntry>& entries) {
  entries.clear();
  DIR* dir = ::opendir(directory.c_str());
  if (dir == nullptr) return SystemFailure(directory, errno);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    entries.push_back({std::string(name), KindOf(::dirfd(dir), entry->d_name)});
  }
  ::closedir(dir);
  return Success();
}

std::vector<std::string> RealFileSystem::StartPlaces() {
  const ReadResult mounts = ReadFile(mountsPath, kMountsFileLimit);
  const std::string_view text(reinterpret_cast<const char*>(mounts.bytes.data()),
                              mounts.bytes.size());
  return fileaccess::StartPlaces(HomeDirectory(), text);
}

std::string RealFileSystem::HomeDirectory() {
  const char* home = std::getenv("HOME");
  return home != nullptr ? std::string(home) : std::string();
}

std::string RealFileSystem::WorkingDirectory() {
  std::array<char, 4096> buffer{};
  return ::getcwd(buffer.data(), buffer.size()) != nullptr ? std::string(buffer.data()) : "/";
}

}  // namespace veltrane::fileaccess
