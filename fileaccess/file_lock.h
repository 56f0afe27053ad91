// SPDX-License-Identifier: MIT
// An exclusive advisory lock held on a companion file for as long as needed;
// the companion file exists only while someone holds or waits for the lock.
#pragma once

#include <string>

#include "fileaccess/status.h"

namespace veltrane::fileaccess {

class FileLock {
 public:
  FileLock() = default;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock() { Release(); }

  // Creates the lock file when missing (0666 less umask; a link there is not
  // followed) and waits until no other holder has it. Lock a file that is
  // never replaced: a lock on a file renamed over is lost with its inode.
  Status Acquire(const std::string& path);
  // The same without waiting: fails with error EWOULDBLOCK while another holder has it.
  Status TryAcquire(const std::string& path);
  // Removes the lock file, then lets go of it; a run cut short leaves the
  // file, which the next holder takes over.
  void Release();
  bool Held() const { return fd_ >= 0; }

 private:
  Status Take(const std::string& path, bool wait);

  int fd_ = -1;
  std::string path_;
};

}  // namespace veltrane::fileaccess
