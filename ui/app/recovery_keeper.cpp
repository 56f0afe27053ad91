// SPDX-License-Identifier: MIT
#include "ui/app/recovery_keeper.h"

#include <unistd.h>

#include <random>

#include "fileaccess/file_names.h"
#include "fileaccess/state_directory.h"
#include "ui/app/recovery_copy.h"

namespace veltrane::ui {
namespace {

// A name for this run's files that no other run picks.
std::string RunName() {
  static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device random;
  std::string name = "run-" + std::to_string(::getpid()) + "-";
  for (int k = 0; k < 8; ++k) name += kAlphabet[random() % (sizeof kAlphabet - 1)];
  return name;
}

}  // namespace

std::string LockPathOf(const std::string& copyPath) {
  return copyPath.substr(0, copyPath.size() - kRecoverySuffix.size()) +
         std::string(kRecoveryLockSuffix);
}

RecoveryKeeper::RecoveryKeeper(std::string directory)
    : directory_(std::move(directory)),
      copyPath_(directory_ + RunName() + std::string(kRecoverySuffix)),
      lockPath_(LockPathOf(copyPath_)),
      writer_([this] { Work(); }) {}

RecoveryKeeper::~RecoveryKeeper() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  writer_.join();
}

void RecoveryKeeper::Follow(const AppState& app, fileaccess::Durability durability) {
  if (ended_) return;
  bool failed = false;
  {
    const std::lock_guard lock(mutex_);
    failed = failed_;
  }
  if (!HasUnsavedChanges(app)) {
    if (!handed_.empty()) Hand(Job::Remove);
    handed_.clear();
    return;
  }
  std::string copy = EncodeRecoveryCopy(app.doc);
  if (copy == handed_ && !failed && durability == fileaccess::Durability::Unsynced) return;
  handed_ = copy;
  Hand(Job::Write, std::move(copy), durability);
}

void RecoveryKeeper::DropIfKept(const AppState& app) {
  if (ended_ || handed_.empty() || HasUnsavedChanges(app)) return;
  Hand(Job::Remove);
  handed_.clear();
}

void RecoveryKeeper::Hand(Job job, std::string bytes, fileaccess::Durability durability) {
  {
    const std::lock_guard lock(mutex_);
    job_ = job;  // a newer copy or a removal replaces what waits
    bytes_ = std::move(bytes);
    durability_ = durability;
    failed_ = false;
  }
  changed_.notify_all();
}

void RecoveryKeeper::Flush() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return job_ == Job::None && !working_; });
}

void RecoveryKeeper::Discard() {
  if (ended_) return;
  ended_ = true;
  Hand(Job::Remove);
  Flush();
}

void RecoveryKeeper::Seal() {
  if (ended_) return;
  ended_ = true;
  Flush();
  Hand(Job::Unlock);
  Flush();
}

std::string RecoveryKeeper::TakeProblem() {
  const std::lock_guard lock(mutex_);
  if (problem_.empty() || problemTold_) return {};
  problemTold_ = true;
  return problem_;
}

void RecoveryKeeper::Work() {
  std::unique_lock lock(mutex_);
  while (true) {
    changed_.wait(lock, [this] { return job_ != Job::None || stopping_; });
    if (job_ == Job::None) return;  // stopping, with nothing left to do
    const Job job = job_;
    const std::string bytes = std::move(bytes_);
    const fileaccess::Durability durability = durability_;
    job_ = Job::None;
    working_ = true;
    lock.unlock();
    if (job == Job::Write) Write(bytes, durability);
    if (job == Job::Remove) Remove();
    if (job == Job::Unlock) Unlock();
    lock.lock();
    working_ = false;
    changed_.notify_all();
  }
}

void RecoveryKeeper::Write(const std::string& bytes, fileaccess::Durability durability) {
  fileaccess::Status status = fileaccess::Success();
  if (!lock_.Held()) status = fileaccess::MakeDirectories(directory_);
  if (status && !lock_.Held()) status = lock_.Acquire(lockPath_);
  if (status) status = fileaccess::ReplaceFile(copyPath_, bytes, durability);
  if (status) return;
  const std::lock_guard lock(mutex_);
  failed_ = true;
  if (problem_.empty()) problem_ = status.reason;
}

void RecoveryKeeper::Remove() {
  fileaccess::RemoveFile(copyPath_);
  Unlock();
}

void RecoveryKeeper::Unlock() {
  lock_.Release();  // the lock file goes with it
}

}  // namespace veltrane::ui
