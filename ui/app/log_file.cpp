// SPDX-License-Identifier: MIT
#include "ui/app/log_file.h"

#include "fileaccess/streams.h"

namespace veltrane::ui {

std::string LocalTime(std::time_t time, const char* format) {
  std::tm local{};
  localtime_r(&time, &local);
  char text[64];
  if (std::strftime(text, sizeof text, format, &local) == 0) return "?";
  return text;
}

std::string CalendarTime(std::time_t time) {
  return LocalTime(time, "%a %b %d %H:%M:%S %Y\n");
}

bool LogFile::Open(const std::string& path, std::time_t start, bool named) {
  Close();
  fileaccess::OpenedStream opened =
      named ? fileaccess::OpenNamedLog(path) : fileaccess::OpenLogFile(path);
  file_ = opened.file;
  lastError_ = std::move(opened.reason);
  if (file_ == nullptr) return false;
  // Each line reaches the file as it is written: the log is whole while the
  // program runs, and up to its last line after a crash.
  std::setvbuf(file_, nullptr, _IOLBF, BUFSIZ);
  model::LogPrintf(this, "%s \n", path.c_str());
  model::LogPrintf(this, "Started at %s \n", CalendarTime(start).c_str());
  return true;
}

void LogFile::Write(std::string_view text) {
  if (file_ != nullptr) std::fwrite(text.data(), 1, text.size(), file_);
}

void LogFile::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

}  // namespace veltrane::ui
