// SPDX-License-Identifier: MIT
// Reading a whole file of bounded size without blocking on what is not a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace veltrane::fileaccess {

enum class ReadError { None, NotFound, NotRegular, TooLarge, Io };

struct ReadResult {
  // The file's bytes; for TooLarge the first maxBytes + 1 of them.
  std::vector<std::uint8_t> bytes;
  ReadError error = ReadError::None;
  // Empty on success; otherwise names the path: "x.DAT: Permission denied",
  // "x.DAT is a FIFO, not a regular file", "x.DAT is larger than 20628 bytes".
  std::string reason;

  bool ok() const { return error == ReadError::None; }
};

// Reads a regular file of at most maxBytes bytes. The open neither blocks (a
// FIFO) nor takes a terminal as controlling one; anything but a regular file
// is refused before a byte is read. At most maxBytes + 1 bytes are read, so an
// over-long file is recognised without reading it to its end. The file's
// reported size is not trusted (sysfs files report 4096): it is read to EOF.
ReadResult ReadFile(const std::string& path, std::size_t maxBytes);

}  // namespace veltrane::fileaccess
