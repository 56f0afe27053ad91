// SPDX-License-Identifier: MIT
#include "fileaccess/read_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "fileaccess/status.h"

namespace veltrane::fileaccess {
namespace {

ReadResult Refused(ReadError error, std::string reason) {
  ReadResult result;
  result.error = error;
  result.reason = std::move(reason);
  return result;
}

// A socket cannot be opened at all (ENXIO); it is still named for what it is.
ReadResult OpenFailure(const std::string& path, int code) {
  struct stat st {};
  if (code == ENXIO && ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
    return Refused(ReadError::NotRegular, NotRegularFailure(path, st.st_mode).reason);
  return Refused(code == ENOENT ? ReadError::NotFound : ReadError::Io,
                 SystemFailure(path, code).reason);
}

// Reads until EOF or until `limit` bytes are held.
bool ReadUpTo(int fd, std::size_t limit, std::vector<std::uint8_t>& bytes, int& code) {
  constexpr std::size_t kChunk = 64 * 1024;
  while (bytes.size() < limit) {
    const std::size_t start = bytes.size();
    bytes.resize(start + std::min(kChunk, limit - start));
    const ssize_t n = ::read(fd, bytes.data() + start, bytes.size() - start);
    if (n < 0 && errno == EINTR) {
      bytes.resize(start);
      continue;
    }
    if (n < 0) {
      code = errno;
      return false;
    }
    bytes.resize(start + static_cast<std::size_t>(n));
    if (n == 0) break;
  }
  return true;
}

}  // namespace

ReadResult ReadFile(const std::string& path, std::size_t maxBytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return OpenFailure(path, errno);
  ReadResult result;
  struct stat st {};
  int code = 0;
  if (::fstat(fd, &st) != 0) {
    result = Refused(ReadError::Io, SystemFailure(path, errno).reason);
  } else if (!S_ISREG(st.st_mode)) {
    result = Refused(ReadError::NotRegular, NotRegularFailure(path, st.st_mode).reason);
  } else if (!ReadUpTo(fd, maxBytes + (maxBytes < SIZE_MAX), result.bytes, code)) {
    result = Refused(ReadError::Io, SystemFailure(path, code).reason);
  } else if (result.bytes.size() > maxBytes) {
    result.error = ReadError::TooLarge;
    result.reason = path + " is larger than " + std::to_string(maxBytes) + " bytes";
  }
  ::close(fd);
  return result;
}

}  // namespace veltrane::fileaccess
