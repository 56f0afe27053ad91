// Where the library's message boxes go: a handler the program installs, or
// standard error as "caption: text" when none is installed.
#pragma once

namespace veltrane::link {

using MessageHandler = void (*)(const char* text, const char* caption, void* context);

// A null handler restores the standard-error output.
void SetMessageHandler(MessageHandler handler, void* context);
void ShowMessage(const char* text, const char* caption);

}  // namespace veltrane::link
