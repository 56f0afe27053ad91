// SPDX-License-Identifier: MIT
#include "cli/standard_streams.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace veltrane::cli {
namespace {

int g_outputError = 0;  // errno of the first failed write to standard output

void KeepOutputError(int code) {
  if (g_outputError == 0) g_outputError = code != 0 ? code : EIO;
}

}  // namespace

fileaccess::ReadResult ReadStandardInput(std::size_t maxBytes) {
  fileaccess::ReadResult result;
  char chunk[64 * 1024];
  while (result.bytes.size() <= maxBytes) {
    const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      result.error = fileaccess::ReadError::Io;
      result.reason = std::string(kStandardInputName) + ": " + std::strerror(errno);
      return result;
    }
    if (n == 0) return result;
    result.bytes.insert(result.bytes.end(), chunk, chunk + n);
  }
  result.bytes.resize(maxBytes + 1);
  result.error = fileaccess::ReadError::TooLarge;
  result.reason =
      std::string(kStandardInputName) + " holds more than " + std::to_string(maxBytes) + " bytes";
  return result;
}

bool WriteStandardOutput(std::string_view bytes) {
  if (bytes.empty()) return true;
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size()) return true;
  KeepOutputError(errno);
  return false;
}

bool RefuseBinaryToTerminal(std::string_view what) {
  if (::isatty(STDOUT_FILENO) == 0) return false;
  std::fprintf(stderr,
               "veltrane-cli: standard output is a terminal; %.*s is binary: redirect it to a "
               "file or a pipe\n",
               static_cast<int>(what.size()), what.data());
  return true;
}

int FinishStandardOutput(int status, int failed) {
  errno = 0;
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) KeepOutputError(errno);
  if (g_outputError == 0) return status;
  if (g_outputError != EPIPE)
    std::fprintf(stderr, "veltrane-cli: cannot write %s: %s\n", kStandardOutputName.data(),
                 std::strerror(g_outputError));
  return failed;
}

}  // namespace veltrane::cli
