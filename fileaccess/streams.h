// SPDX-License-Identifier: MIT
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

// A log begun afresh: a new empty file (0666 less umask) is created beside
// `path` and renamed over that name. A file of that name, also a hard link
// to another file, or a symbolic link is replaced as a name, never written
// through or emptied; a device, FIFO, socket or directory of that name is
// left alone and refused. The stream appends (O_APPEND), so that each line
// lands at the end of the file even when someone else shortens it.
OpenedStream OpenLogFile(const std::string& path);

// A log at a path the user named, taken as the shell's ">" takes it: links
// are followed, a regular file is emptied (created when missing), and a
// terminal, /dev/null or a pipe is written as it is; anything else is
// refused. The stream appends (O_APPEND), so that a second writer that
// empties the file leaves no hole.
OpenedStream OpenNamedLog(const std::string& path);

// Opens a file for appending, created when missing. A regular file or a
// character device (a terminal, /dev/null) is taken; anything else is refused.
// The open neither blocks nor takes a terminal as controlling one.
OpenedStream OpenAppendFile(const std::string& path);

}  // namespace veltrane::fileaccess
