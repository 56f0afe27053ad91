// Shared pieces of the command-line front end: the message printer, argument
// parsing and the start of a run.
#pragma once

#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "model/diagnostics.h"
#include "ui/app_state.h"
#include "ui/services.h"
#include "ui/log_file.h"

namespace veltrane::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Every message box becomes one line on stderr: "caption: text", or the text
// alone for a box without a caption of its own.
class StderrMessages : public model::MessageSink {
 public:
  void Show(std::string_view text, std::string_view caption, model::MessageIcon icon) override;
};

// Options of the form --name VALUE or -x VALUE, and positional arguments.
struct Arguments {
  std::vector<std::string> positional;
  std::map<std::string, std::string> options;
  bool help = false;
  std::string error;  // set when the arguments do not parse

  std::optional<std::string> Option(const std::string& name) const;
};

// Parses argv[first..]; `valued` lists the options that take a value, with
// their short aliases mapped to the long name in `aliases`.
Arguments ParseArguments(int argc, char** argv, int first, const std::vector<std::string>& valued,
                         const std::map<std::string, std::string>& aliases = {});

// A run of the program: the state as the program starts it, with its log.
struct Run {
  StderrMessages messages;
  ui::LogFile log;
  ui::Services io{messages, log};
  ui::AppState app;

  Run();
};

int UsageError(const char* usage, const std::string& error);

}  // namespace veltrane::cli
