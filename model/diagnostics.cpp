// SPDX-License-Identifier: MIT
#include "model/diagnostics.h"

#include <cstdio>

namespace veltrane::model {

std::string FormatTextV(const char* format, std::va_list args) {
  std::va_list copy;
  va_copy(copy, args);
  const int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (size <= 0) return {};
  std::string text(static_cast<std::size_t>(size) + 1, '\0');
  std::vsnprintf(text.data(), text.size(), format, args);
  text.resize(static_cast<std::size_t>(size));
  return text;
}

std::string FormatText(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::string text = FormatTextV(format, args);
  va_end(args);
  return text;
}

void LogPrintf(LogSink* log, const char* format, ...) {
  if (log == nullptr) return;
  std::va_list args;
  va_start(args, format);
  const std::string text = FormatTextV(format, args);
  va_end(args);
  log->Write(text);
}

}  // namespace veltrane::model
