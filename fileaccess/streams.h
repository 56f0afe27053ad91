// Streams kept open while the program runs: the log and the report trace.
#pragma once

#include <cstdio>
#include <string>

namespace veltrane::fileaccess {

// An open stream, owned by the caller (std::fclose), or why there is none.
struct OpenedStream {
  std::FILE* file = nullptr;
  std::string reason;  // names the path; empty when file is open
};

// Creates or empties a regular file for writing. A symbolic link, FIFO,
// device or directory of that name is left as it is and refused: the open
// neither follows a link nor blocks, and only a regular file is truncated,
// after it has been opened and checked. A new file gets 0666 less umask.
OpenedStream OpenLogFile(const std::string& path);

// Opens a file for appending, created when missing. A regular file or a
// character device (a terminal, /dev/null) is taken; anything else is refused.
// The open neither blocks nor takes a terminal as controlling one.
OpenedStream OpenAppendFile(const std::string& path);

}  // namespace veltrane::fileaccess
