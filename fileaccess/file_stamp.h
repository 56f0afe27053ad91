// SPDX-License-Identifier: MIT
// What tells whether a file was written since the program last looked at it.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>

namespace veltrane::fileaccess {

// A file's identity (device and inode) and the time and size of its last
// write. A file replaced through a rename has another inode; one written in
// place another time or size.
struct FileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  std::int64_t modifiedSeconds = 0;
  long modifiedNanoseconds = 0;
  off_t size = 0;

  friend bool operator==(const FileStamp&, const FileStamp&) = default;
  bool SameFile(const FileStamp& other) const {
    return device == other.device && inode == other.inode;
  }
};

// The stamp of the file a path leads to, links followed; nothing when there
// is none (or it cannot be looked at).
std::optional<FileStamp> StampOf(const std::string& path);

}  // namespace veltrane::fileaccess
