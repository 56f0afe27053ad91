// SPDX-License-Identifier: MIT
#include "cli/cli_support.h"

#include <ctime>
#include <string>

#include "cli/standard_streams.h"
#include "cli/terminal_text.h"

namespace veltrane::cli {

void StderrMessages::Show(std::string_view text, std::string_view caption, model::MessageIcon) {
  // Texts with their own line end (the library's formats) print as one line;
  // a box of several lines (the settings a load brought into range) one each.
  while (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  std::string prefix = "veltrane-cli: ";
  if (!caption.empty()) prefix.append(EscapeControls(caption)).append(": ");
  while (true) {
    const std::size_t end = text.find('\n');
    std::fprintf(stderr, "%s%s\n", prefix.c_str(), EscapeControls(text.substr(0, end)).c_str());
    if (end == std::string_view::npos) return;
    text.remove_prefix(end + 1);
  }
}

std::optional<std::string> Arguments::Option(const std::string& name) const {
  const auto it = options.find(name);
  if (it == options.end()) return std::nullopt;
  return it->second;
}

namespace {

bool Lists(const std::vector<std::string>& names, const std::string& name) {
  for (const std::string& listed : names)
    if (listed == name) return true;
  return false;
}

// Takes the option argv[i] (and its value from argv[i + 1] when it has one);
// false with args.error set when it does not parse.
bool TakeOption(int argc, char** argv, int& i, const std::vector<std::string>& valued,
                const std::map<std::string, std::string>& aliases,
                const std::vector<std::string>& flags, const std::vector<std::string>& emptyAllowed,
                Arguments& args) {
  std::string word = argv[i];
  if (const auto alias = aliases.find(word); alias != aliases.end()) word = alias->second;
  std::optional<std::string> value;
  if (const std::size_t eq = word.find('='); eq != std::string::npos && word.starts_with("--")) {
    value = word.substr(eq + 1);
    word.resize(eq);
  }
  if (Lists(flags, word)) {
    if (value) args.error = "option " + word + " takes no value";
    if (!value && !args.flags.insert(word).second) args.error = "option " + word + " given twice";
    return args.error.empty();
  }
  if (!Lists(valued, word)) {
    args.error = "unknown option " + word;
    return false;
  }
  if (!value && i + 1 < argc) value = argv[++i];
  if (!value || (value->empty() && !Lists(emptyAllowed, word))) {
    args.error = "option " + word + " needs a value";
    return false;
  }
  if (!args.options.emplace(word, *value).second) args.error = "option " + word + " given twice";
  return args.error.empty();
}

}  // namespace

Arguments ParseArguments(int argc, char** argv, int first, const std::vector<std::string>& valued,
                         const std::map<std::string, std::string>& aliases,
                         const std::vector<std::string>& flags,
                         const std::vector<std::string>& emptyAllowed) {
  Arguments args;
  bool optionsEnded = false;
  for (int i = first; i < argc; ++i) {
    const std::string word = argv[i];
    if (optionsEnded || word == "-" || word.empty() || word[0] != '-') {
      args.positional.push_back(word);
    } else if (word == "--") {
      optionsEnded = true;
    } else if (word == "--help" || word == "-h") {
      args.help = true;
    } else if (!TakeOption(argc, argv, i, valued, aliases, flags, emptyAllowed, args)) {
      return args;
    }
  }
  return args;
}

namespace {

std::string& GivenLogPath() {
  static std::string path;
  return path;
}

}  // namespace

const std::string& LogPath() {
  return GivenLogPath();
}

void SetLogPath(std::string path) {
  GivenLogPath() = std::move(path);
}

Run::Run() {
  ui::StartApplication(app);
  // A log only when asked for, taken as the shell's ">" takes a name; without it the run
  // goes on, told once why.
  if (!LogPath().empty() && !log.Open(LogPath(), std::time(nullptr), true))
    std::fprintf(stderr, "veltrane-cli: no log this run: %s\n", log.LastError().c_str());
}

int PrintHelp(const char* usage) {
  WriteStandardOutput(usage);
  return kExitOk;
}

int UsageError(const char* usage, const std::string& error) {
  std::fprintf(stderr, "veltrane-cli: %s\n%s", error.c_str(), usage);
  return kExitUsage;
}

bool ParseOrHelp(const Arguments& args, const char* usage, std::size_t positional, int& status) {
  if (args.help) {
    status = PrintHelp(usage);
    return false;
  }
  if (!args.error.empty()) {
    status = UsageError(usage, args.error);
    return false;
  }
  if (args.positional.size() != positional) {
    status = UsageError(usage, "wrong number of arguments");
    return false;
  }
  return true;
}

}  // namespace veltrane::cli
