#include "cli/cli_support.h"

#include <ctime>
#include <string>


namespace veltrane::cli {

void StderrMessages::Show(std::string_view text, std::string_view caption, model::MessageIcon) {
  std::string line;
  if (!caption.empty()) line.append(caption).append(": ");
  line.append(text);
  // Texts with their own line end (the library's formats) print as one line.
  while (!line.empty() && line.back() == '\n') line.pop_back();
  std::fprintf(stderr, "%s\n", line.c_str());
}

std::optional<std::string> Arguments::Option(const std::string& name) const {
  const auto it = options.find(name);
  if (it == options.end()) return std::nullopt;
  return it->second;
}

Arguments ParseArguments(int argc, char** argv, int first, const std::vector<std::string>& valued,
                         const std::map<std::string, std::string>& aliases) {
  Arguments args;
  for (int i = first; i < argc; ++i) {
    std::string word = argv[i];
    if (word == "--help" || word == "-h") {
      args.help = true;
      continue;
    }
    if (word.size() > 1 && word[0] == '-') {
      if (const auto alias = aliases.find(word); alias != aliases.end()) word = alias->second;
      std::string value;
      bool inlineValue = false;
      if (const std::size_t eq = word.find('=');
          eq != std::string::npos && word.starts_with("--")) {
        value = word.substr(eq + 1);
        word = word.substr(0, eq);
        inlineValue = true;
      }
      bool takesValue = false;
      for (const std::string& name : valued) takesValue = takesValue || name == word;
      if (!takesValue) {
        args.error = "unknown option " + word;
        return args;
      }
      if (!inlineValue) {
        if (i + 1 >= argc) {
          args.error = "option " + word + " needs a value";
          return args;
        }
        value = argv[++i];
      }
      args.options[word] = value;
      continue;
    }
    args.positional.push_back(word);
  }
  return args;
}

Run::Run() {
  ui::StartApplication(app);
  log.Open(ui::kLogFileName, std::time(nullptr));
}

int UsageError(const char* usage, const std::string& error) {
  std::fprintf(stderr, "veltrane-cli: %s\n%s", error.c_str(), usage);
  return kExitUsage;
}

}  // namespace veltrane::cli
