// SPDX-License-Identifier: MIT
// What the program's file chooser may ask of the file system, behind an
// interface: the real one here, a fake in tests. The chooser keeps its own
// current directory; nothing here changes the process's.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "fileaccess/status.h"

namespace veltrane::fileaccess {

struct DirectoryEntry {
  enum class Kind { Directory, RegularFile, Other };
  std::string name;
  Kind kind = Kind::Other;  // of what a symbolic link leads to; Other when it leads nowhere
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // The entries of an absolute directory, without "." and "..", in no order.
  // Fails with the path and the system's reason when it cannot be listed.
  virtual Status List(const std::string& directory, std::vector<DirectoryEntry>& entries) = 0;
  // Where browsing may start: "/", the home directory and the mounted
  // volumes, without repeats.
  virtual std::vector<std::string> StartPlaces() = 0;
  // The user's home directory; empty when there is none.
  virtual std::string HomeDirectory() = 0;
  // The directory the program was started in.
  virtual std::string WorkingDirectory() = 0;
};

// The file system of the running process: directories read with opendir, the
// volumes from /proc/self/mounts, the home directory from $HOME.
class RealFileSystem : public FileSystem {
 public:
  Status List(const std::string& directory, std::vector<DirectoryEntry>& entries) override;
  std::vector<std::string> StartPlaces() override;
  std::string HomeDirectory() override;
  std::string WorkingDirectory() override;

  std::string mountsPath = "/proc/self/mounts";
};

inline constexpr std::size_t kMountsFileLimit = 256 * 1024;

// Mount points under /media, /mnt and /run/media in a mounts table's text
// (octal escapes decoded), in table order, without repeats.
std::vector<std::string> MountedVolumes(std::string_view mountsText);

// "/", the home directory and the mounted volumes, without repeats.
std::vector<std::string> StartPlaces(std::string_view home, std::string_view mountsText);

// True when path is base or lies below it.
bool IsWithin(std::string_view path, std::string_view base);

}  // namespace veltrane::fileaccess
