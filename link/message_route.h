// SPDX-License-Identifier: MIT
// Where the library's message boxes go: a handler the program installs, or
// standard error as "caption: text" when none is installed. Diagnostic lines
// go to standard error, so that a program's standard output holds only its own.
#pragma once

namespace veltrane::link {

using MessageHandler = void (*)(const char* text, const char* caption, void* context);

// A null handler restores the standard-error output.
void SetMessageHandler(MessageHandler handler, void* context);
// The calling thread's own route, used before the program's; null removes it.
void SetThreadMessageHandler(MessageHandler handler, void* context);
void ShowMessage(const char* text, const char* caption);

// Writes a diagnostic to standard error, unless it is the same text as the
// diagnostic the calling thread wrote just before it: a search that runs twice
// in one command (the permission explanation) tells it once.
void PrintDiagnostic(const char* text);

}  // namespace veltrane::link
