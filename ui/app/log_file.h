// SPDX-License-Identifier: MIT
// The log stream "vtlog.txt", begun as a new file at every start. Writing to
// a log that could not be opened goes nowhere and the run goes on; LastError
// says why.
#pragma once

#include <cstdio>
#include <ctime>
#include <string>

#include "model/diagnostics.h"

namespace veltrane::ui {

inline constexpr const char* kLogFileName = "vtlog.txt";

class LogFile : public model::LogSink {
 public:
  LogFile() = default;
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;
  ~LogFile() override { Close(); }

  // Begins a new log at path and writes its three opening lines for the given
  // time: fileaccess::OpenLogFile (a new file renamed over the name, so a
  // link there is replaced and never written through; a FIFO or device of
  // that name is left alone), or for a path the user `named`
  // fileaccess::OpenNamedLog (as the shell's ">"). The log is line-buffered
  // and appended to. False, with LastError set, when there is no log.
  bool Open(const std::string& path, std::time_t start, bool named = false);
  void Write(std::string_view text) override;
  void Close();
  bool IsOpen() const { return file_ != nullptr; }
  // Why the last Open failed ("vtlog.txt is a symbolic link, not a regular file").
  const std::string& LastError() const { return lastError_; }

 private:
  std::FILE* file_ = nullptr;
  std::string lastError_;
};

// The local time in a strftime format; "?" when it does not fit.
std::string LocalTime(std::time_t time, const char* format);

// The 24-character calendar form with the day of the month as two digits.
std::string CalendarTime(std::time_t time);

}  // namespace veltrane::ui
