// SPDX-License-Identifier: MIT
// The lock a program holds on a keyboard while it works on it: flock on the
// keyboard's lock file (a hidraw node itself, a simulated keyboard's
// PATH.lock). Other processes, and other threads of this one, wait for it or
// find it busy; the thread that holds it takes it again without waiting (the
// holds are counted), so that a station holding a keyboard can run the
// transfers, which take the lock too.
#pragma once

#include <string>

namespace veltrane::link {

struct LockTarget {
  std::string path;     // empty: the keyboard has no lock (a test double)
  bool create = false;  // a lock file made when missing; a device node is never made
};

enum class LockOutcome { Taken, Busy, Failed };

class KeyboardLock {
 public:
  KeyboardLock() = default;
  KeyboardLock(const KeyboardLock&) = delete;
  KeyboardLock& operator=(const KeyboardLock&) = delete;
  ~KeyboardLock() { Release(); }

  // `wait`: until the other holder lets go; otherwise Busy at once. Failed
  // (with the reason) when the lock file cannot be opened.
  LockOutcome Take(const LockTarget& target, bool wait, std::string& reason);
  void Release();
  bool Held() const { return !path_.empty(); }

 private:
  std::string path_;
};

// The same for a hold that outlives one call (the library's exports): taken
// and released on one thread by the target's path.
LockOutcome TakeKeyboardLock(const LockTarget& target, bool wait, std::string& reason);
void ReleaseKeyboardLock(const std::string& path);

}  // namespace veltrane::link
