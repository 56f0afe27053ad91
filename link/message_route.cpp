#include "link/message_route.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace veltrane::link {
namespace {

// Set from the program's one thread, like every other call into the library.
MessageHandler g_handler = nullptr;
void* g_context = nullptr;
std::string g_lastDiagnostic;

}  // namespace

void SetMessageHandler(MessageHandler handler, void* context) {
  g_handler = handler;
  g_context = handler != nullptr ? context : nullptr;
}

void ShowMessage(const char* text, const char* caption) {
  if (g_handler != nullptr) {
    g_handler(text, caption, g_context);
    return;
  }
  const std::size_t length = std::strlen(text);
  const bool ends_line = length > 0 && text[length - 1] == '\n';
  std::fprintf(stderr, "%s: %s%s", caption, text, ends_line ? "" : "\n");
  std::fflush(stderr);
}

void PrintDiagnostic(const char* text) {
  if (g_lastDiagnostic == text) return;
  g_lastDiagnostic = text;
  std::fputs(text, stderr);
  std::fflush(stderr);
}

}  // namespace veltrane::link
