// SPDX-License-Identifier: MIT
// Keeps this run's recovery copy in step with the definition: written while
// the definition has unsaved changes, removed once it has none. The copy is
// written on a thread of its own, so that the window's thread never waits on
// the disk, also while a transfer runs. A lock held on a companion file from
// the first copy to the end of the run tells other runs that the copy's
// writer is alive.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "fileaccess/file_lock.h"
#include "fileaccess/replace_file.h"
#include "ui/app/app_state.h"

namespace veltrane::ui {

inline constexpr std::string_view kRecoverySuffix = ".recovery";
inline constexpr std::string_view kRecoveryLockSuffix = ".lock";

// The lock file beside a copy "NAME.recovery": "NAME.lock".
std::string LockPathOf(const std::string& copyPath);

class RecoveryKeeper {
 public:
  // Copies go to `directory` (ending in "/"), made when the first copy is.
  explicit RecoveryKeeper(std::string directory);
  // Waits for the writer thread; a copy written stays (Discard removes it).
  ~RecoveryKeeper();
  RecoveryKeeper(const RecoveryKeeper&) = delete;
  RecoveryKeeper& operator=(const RecoveryKeeper&) = delete;

  // On the window's thread, once a period and at a signal: while the
  // definition differs from the kept one and from the last copy (or the last
  // copy failed), a new copy goes to the writer thread; once the definition is
  // the kept one again, the copy is removed. Nothing happens once ended.
  // Copies are not synced (they carry their own checksum), except when asked:
  // then also a copy of what was written before is written again, synced.
  void Follow(const AppState& app,
              fileaccess::Durability durability = fileaccess::Durability::Unsynced);
  // After each command: the copy is removed once the definition is the kept
  // one again (a save, a load after Discard); nothing is written.
  void DropIfKept(const AppState& app);
  // Waits until the writer thread has done what it was handed.
  void Flush();
  // A normal end of the run (a save or Discard came first): the copy and its
  // lock file are removed, and nothing is written after.
  void Discard();
  // The end by a signal: the copy stays for the next start, its lock file
  // goes, and nothing is written or removed after.
  void Seal();
  // The first failure to write a copy, once; empty otherwise.
  std::string TakeProblem();

  const std::string& Directory() const { return directory_; }
  const std::string& CopyPath() const { return copyPath_; }

 private:
  enum class Job { None, Write, Remove, Unlock };
  void Hand(Job job, std::string bytes = {},
            fileaccess::Durability durability = fileaccess::Durability::Unsynced);
  void Work();
  void Write(const std::string& bytes, fileaccess::Durability durability);
  void Remove();
  void Unlock();

  const std::string directory_;
  const std::string copyPath_;
  const std::string lockPath_;
  // Window's thread only.
  std::string handed_;  // the copy last handed to the writer; empty when there is none
  bool ended_ = false;
  // Shared with the writer thread, under mutex_.
  std::mutex mutex_;
  std::condition_variable changed_;
  Job job_ = Job::None;
  std::string bytes_;
  fileaccess::Durability durability_ = fileaccess::Durability::Unsynced;
  bool working_ = false;
  bool stopping_ = false;
  bool failed_ = false;  // the last write failed: the next Follow writes again
  std::string problem_;  // the first failure, until taken
  bool problemTold_ = false;
  // Writer thread only.
  fileaccess::FileLock lock_;
  std::thread writer_;  // last: started once everything else is in place
};

}  // namespace veltrane::ui
