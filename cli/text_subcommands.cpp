#include "cli/text_subcommands.h"

#include <cctype>
#include <cstdio>
#include <memory>

#include "cli/cli_support.h"
#include "eeprom/image_files.h"
#include "fileaccess/read_file.h"
#include "persist/config_file.h"
#include "persist/definition_diff.h"
#include "persist/definition_text.h"
#include "persist/header_settings.h"
#include "ui/app/file_commands.h"
#include "ui/app/macro_store_check.h"

namespace veltrane::cli {
namespace {

const char* const kExportUsage =
    "usage: veltrane-cli export CONFIG.DAT [-o FILE.json]\n"
    "  Writes the definition in CONFIG.DAT as JSON text to FILE.json (default: stdout).\n";

const char* const kImportUsage =
    "usage: veltrane-cli import FILE.json -o CONFIG.DAT\n"
    "  Reads a definition written as JSON text and saves it as CONFIG.DAT.\n";

const char* const kDiffUsage =
    "usage: veltrane-cli diff A B [--json]\n"
    "  Prints what differs between two definitions (each a .DAT or JSON text), one\n"
    "  line per setting, key, layer and macro; --json prints them as JSON.\n"
    "  Exit status 0 when they are equal, 1 when they differ, 2 on trouble.\n";

// The load's own success box says nothing to someone converting files.
class QuietLoad : public model::MessageSink {
 public:
  explicit QuietLoad(model::MessageSink& out) : out_(out) {}
  void Show(std::string_view text, std::string_view caption, model::MessageIcon icon) override {
    if (caption == "Load" && text == "Loaded configuration file !") return;
    out_.Show(text, caption, icon);
  }

 private:
  model::MessageSink& out_;
};

struct Definition {
  std::unique_ptr<model::KeyboardDefinition> def = std::make_unique<model::KeyboardDefinition>();
  persist::HeaderImage header;
  Definition() { model::InitialiseDefinition(*def); }
};

bool LoadConfig(const std::string& path, Definition& d, model::MessageSink& messages) {
  QuietLoad quiet(messages);
  model::ClearKeys(*d.def);
  if (persist::ReadConfigFile(path, *d.def, d.header, quiet) != persist::LoadOutcome::Loaded)
    return false;
  model::ClearStringWorkBuffer(*d.def, false);
  model::RebuildStringWorkBuffer(*d.def);
  d.def->settings = persist::FromHeader(d.header);
  return true;
}

// Definition text: a name ending in .json, or a file whose first non-blank
// character opens a JSON object.
bool IsText(const std::string& path) {
  if (path.size() >= 5) {
    std::string end = path.substr(path.size() - 5);
    for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (end == ".json") return true;
  }
  const fileaccess::ReadResult file = fileaccess::ReadFile(path, persist::kMaxDefinitionTextSize);
  for (std::uint8_t b : file.bytes)
    if (!std::isspace(b)) return b == '{';
  return false;
}

bool LoadEither(const std::string& path, Definition& d, model::MessageSink& messages) {
  if (!IsText(path)) return LoadConfig(path, d, messages);
  return persist::ReadDefinitionTextFile(path, *d.def, d.header, messages).ok;
}

}  // namespace

int RunExport(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, 2, {"--output"}, {{"-o", "--output"}});
  if (args.help) return std::fputs(kExportUsage, stdout), kExitOk;
  if (!args.error.empty()) return UsageError(kExportUsage, args.error);
  if (args.positional.size() != 1) return UsageError(kExportUsage, "expected one CONFIG.DAT");

  Run run;
  Definition d;
  if (!LoadConfig(args.positional[0], d, run.messages)) return kExitFailed;
  const std::optional<std::string> output = args.Option("--output");
  if (!output) {
    const std::string text = persist::ExportDefinitionText(*d.def, d.header);
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? kExitOk : kExitFailed;
  }
  if (ui::WouldReplaceInput(run.io, args.positional[0], *output)) return kExitFailed;
  return ExitStatus(ui::Told(
      run.io, ui::Command::WriteFile,
      ui::WrittenFile(persist::WriteDefinitionTextFile(*output, *d.def, d.header), *output)));
}

int RunImport(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, 2, {"--output"}, {{"-o", "--output"}});
  if (args.help) return std::fputs(kImportUsage, stdout), kExitOk;
  if (!args.error.empty()) return UsageError(kImportUsage, args.error);
  const std::optional<std::string> output = args.Option("--output");
  if (args.positional.size() != 1 || !output)
    return UsageError(kImportUsage, "expected FILE.json -o CONFIG.DAT");

  Run run;
  Definition d;
  const std::string& input = args.positional[0];
  const persist::DefinitionTextImport imported =
      persist::ReadDefinitionTextFile(input, *d.def, d.header, run.messages);
  if (!imported.ok) return kExitFailed;
  // A configuration file keeps only the packed store: what does not fit would be lost.
  if (!ui::Told(run.io, ui::Command::WriteFile, ui::CheckMacrosFit(*d.def))) return kExitFailed;
  if (ui::WouldReplaceInput(run.io, input, *output)) return kExitFailed;
  const fileaccess::Status written = persist::WriteConfigFile(*output, *d.def, d.header);
  return ExitStatus(ui::Told(run.io, ui::Command::WriteFile, ui::WrittenFile(written, *output)));
}

int RunDiff(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, 2, {}, {}, {"--json"});
  if (args.help) return std::fputs(kDiffUsage, stdout), kExitOk;
  if (!args.error.empty()) return UsageError(kDiffUsage, args.error);
  if (args.positional.size() != 2) return UsageError(kDiffUsage, "expected A B");

  Run run;
  Definition a, b;
  if (!LoadEither(args.positional[0], a, run.messages)) return kExitUsage;
  if (!LoadEither(args.positional[1], b, run.messages)) return kExitUsage;
  const std::vector<persist::DefinitionDifference> differences =
      persist::DiffDefinitions(*a.def, a.header, *b.def, b.header);
  if (args.Flag("--json")) {
    std::fputs(persist::FormatDifferencesJson(differences).c_str(), stdout);
  } else {
    for (const persist::DefinitionDifference& d : differences) std::printf("%s\n", d.line.c_str());
  }
  return differences.empty() ? kExitOk : kExitFailed;
}

}  // namespace veltrane::cli
