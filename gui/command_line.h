// SPDX-License-Identifier: MIT
// The desktop program's own options, answered before any window system is
// needed: --help and --version print and end the run.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace veltrane::gui {

// The exit status when argv asks for help or the version (printed to `out`),
// or nothing when the program is to start. Words after "--" are file names.
std::optional<int> AnswerInfoOptions(int argc, char** argv, std::FILE* out);

// What argv asks of a start once the toolkit has taken its own options
// (-platform, -style, ...): the configuration file (the first other word), or
// an option nobody knows.
struct StartArguments {
  std::string configFile;
  std::string unknownOption;
};
StartArguments ParseStartArguments(int argc, char** argv);

// "veltrane: unknown option 'WORD'" with the usage, to `err`; returns the status 2.
int UnknownOptionError(const std::string& word, std::FILE* err);

}  // namespace veltrane::gui
