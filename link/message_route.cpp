// SPDX-License-Identifier: MIT
#include "link/message_route.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

namespace veltrane::link {
namespace {

struct Route {
  MessageHandler handler = nullptr;
  void* context = nullptr;
};

// The program's route is set from one thread and read from every calling thread.
std::mutex g_routeMutex;
Route g_route;
// A thread's own route goes before the program's: several keyboards at once
// each report to their own caller.
thread_local Route t_route;
thread_local std::string t_lastDiagnostic;

Route CurrentRoute() {
  if (t_route.handler != nullptr) return t_route;
  const std::lock_guard lock(g_routeMutex);
  return g_route;
}

}  // namespace

void SetMessageHandler(MessageHandler handler, void* context) {
  const std::lock_guard lock(g_routeMutex);
  g_route = Route{handler, handler != nullptr ? context : nullptr};
}

void SetThreadMessageHandler(MessageHandler handler, void* context) {
  t_route = Route{handler, handler != nullptr ? context : nullptr};
}

void ShowMessage(const char* text, const char* caption) {
  const Route route = CurrentRoute();
  if (route.handler != nullptr) {
    route.handler(text, caption, route.context);
    return;
  }
  const std::size_t length = std::strlen(text);
  const bool ends_line = length > 0 && text[length - 1] == '\n';
  std::fprintf(stderr, "%s: %s%s", caption, text, ends_line ? "" : "\n");
  std::fflush(stderr);
}

void PrintDiagnostic(const char* text) {
  if (t_lastDiagnostic == text) return;
  t_lastDiagnostic = text;
  std::fputs(text, stderr);
  std::fflush(stderr);
}

}  // namespace veltrane::link
