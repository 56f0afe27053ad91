// SPDX-License-Identifier: MIT
// How a file operation ended, with a reason a user can read.
#pragma once

#include <sys/types.h>

#include <string>

namespace veltrane::fileaccess {

// ok, or why not: the reason names the path and, where a system call failed,
// gives the system's error text ("out.DAT: No space left on device").
// Converts to bool, so callers that only ask whether it worked stay as they are.
struct Status {
  bool ok = true;
  std::string reason;
  int error = 0;  // errno of the failed call; 0 when the refusal was this module's own

  operator bool() const { return ok; }  // NOLINT(google-explicit-constructor)
};

inline Status Success() {
  return Status{};
}

// "PATH: strerror(code)".
Status SystemFailure(const std::string& path, int code);

// "PATH is a FIFO, not a regular file" and the like.
Status NotRegularFailure(const std::string& path, mode_t mode);

// "a FIFO", "a directory", "a character device", ... for a file type in st_mode.
const char* FileKind(mode_t mode);

}  // namespace veltrane::fileaccess
