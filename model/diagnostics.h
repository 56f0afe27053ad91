// SPDX-License-Identifier: MIT
// The two ways the core reaches the user: message boxes and the log stream.
// Each front end implements them (the GUI shows boxes, the CLI prints).
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

namespace veltrane::model {

enum class MessageIcon { None, Information, Warning, Error };

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // An empty caption means a box without a caption of its own.
  virtual void Show(std::string_view text, std::string_view caption, MessageIcon icon) = 0;
};

class LogSink {
 public:
  virtual ~LogSink() = default;
  virtual void Write(std::string_view text) = 0;
};

// printf-style line to a log that may be absent; nothing is added to the text.
void LogPrintf(LogSink* log, const char* format, ...) __attribute__((format(printf, 2, 3)));

std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatTextV(const char* format, std::va_list args);

}  // namespace veltrane::model
