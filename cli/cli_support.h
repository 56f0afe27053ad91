// SPDX-License-Identifier: MIT
// Shared pieces of the command-line front end: the message printer, argument
// parsing and the start of a run.
#pragma once

#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "model/diagnostics.h"
#include "ui/app/app_state.h"
#include "ui/app/log_file.h"
#include "ui/app/outcome.h"
#include "ui/app/services.h"

namespace veltrane::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Every message box becomes one line on stderr: "veltrane-cli: caption: text",
// or without "caption: " for a box without a caption of its own, with control
// characters escaped (a library message may quote what the keyboard sent).
class StderrMessages : public model::MessageSink {
 public:
  void Show(std::string_view text, std::string_view caption, model::MessageIcon icon) override;
};

// The exit status of a command's outcome.
inline int ExitStatus(const ui::Outcome& outcome) {
  return outcome.ok() ? kExitOk : kExitFailed;
}

// Options of the form --name VALUE, --name=VALUE or -x VALUE, and positional
// arguments. "--" ends the options: every word after it is positional.
struct Arguments {
  std::vector<std::string> positional;
  std::map<std::string, std::string> options;
  std::set<std::string> flags;  // options without a value that were given
  bool help = false;
  std::string error;  // set when the arguments do not parse

  std::optional<std::string> Option(const std::string& name) const;
  bool Flag(const std::string& name) const { return flags.contains(name); }
};

// Parses argv[first..]; `valued` lists the options that take a value, with
// their short aliases mapped to the long name in `aliases`; `flags` lists the
// options without a value; `emptyAllowed` lists the valued options for which
// the empty value means something. An unknown option, a missing value, an
// empty value elsewhere, a value given to a flag and an option given twice are
// errors.
Arguments ParseArguments(int argc, char** argv, int first, const std::vector<std::string>& valued,
                         const std::map<std::string, std::string>& aliases = {},
                         const std::vector<std::string>& flags = {},
                         const std::vector<std::string>& emptyAllowed = {});

// The log file given with the global option --log; empty: the run writes no log.
const std::string& LogPath();
void SetLogPath(std::string path);

// A run of the program: the state as the program starts it, with its log.
struct Run {
  StderrMessages messages;
  ui::LogFile log;
  ui::Services io{messages, log};
  ui::AppState app;

  Run();
};

int UsageError(const char* usage, const std::string& error);

// A command's --help: its usage on standard output, status 0.
int PrintHelp(const char* usage);

// False when the command is not to run: --help printed the usage (status 0),
// or the arguments are wrong (status 2, told with the usage).
bool ParseOrHelp(const Arguments& args, const char* usage, std::size_t positional, int& status);

}  // namespace veltrane::cli
