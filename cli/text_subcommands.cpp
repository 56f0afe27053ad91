// SPDX-License-Identifier: MIT
#include "cli/text_subcommands.h"

#include <cctype>
#include <cstdio>
#include <memory>

#include "cli/cli_support.h"
#include "cli/command_files.h"
#include "cli/standard_streams.h"
#include "fileaccess/read_file.h"
#include "persist/config_file.h"
#include "persist/definition_diff.h"
#include "persist/definition_text.h"
#include "ui/app/file_commands.h"
#include "ui/app/load.h"
#include "ui/app/macro_store_check.h"

namespace veltrane::cli {
namespace {

const char* const kExportUsage =
    "usage: veltrane-cli export CONFIG.DAT [-o FILE.json] [--force]\n"
    "  Writes the definition in CONFIG.DAT as JSON text to FILE.json (default, or\n"
    "  '-': standard output). A FILE.json that holds a configuration file is not\n"
    "  replaced unless --force is given. CONFIG.DAT '-' is read from standard input.\n";

const char* const kImportUsage =
    "usage: veltrane-cli import FILE.json -o CONFIG.DAT [--force]\n"
    "  Reads a definition written as JSON text and saves it as CONFIG.DAT ('-':\n"
    "  standard output). A CONFIG.DAT that holds JSON text is not replaced unless\n"
    "  --force is given. FILE.json '-' is read from standard input.\n";

const char* const kDiffUsage =
    "usage: veltrane-cli diff A B [--json]\n"
    "  Prints what differs between two definitions (each a .DAT or JSON text, one\n"
    "  of them '-' for standard input), one line per setting, key, layer and\n"
    "  macro; --json prints them as JSON.\n"
    "  Exit status 0 when they are equal, 1 when they differ, 2 on trouble.\n";

// A definition loaded through ui::Load as the window loads one; someone
// converting files is not told that it loaded.
struct Definition {
  std::unique_ptr<ui::AppState> app = std::make_unique<ui::AppState>();
  Definition() { ui::StartApplication(*app, {}); }
  const model::KeyboardDefinition& def() const { return app->doc.def; }
  persist::HeaderImage& header() { return app->doc.header; }
};

bool Load(Run& run, Definition& d, ui::LoadKind kind, const std::string& path,
          const std::vector<std::uint8_t>* bytes = nullptr) {
  ui::LoadSource source{kind, path, bytes, true};
  return ui::Load(*d.app, run.io, source).ok();
}

// Standard input, with its failure told; `maxBytes` as the file readers take it.
bool ReadInput(std::size_t maxBytes, bool tooLargeIsOk, std::vector<std::uint8_t>& bytes,
               model::MessageSink& messages, std::string_view caption) {
  fileaccess::ReadResult input = ReadStandardInput(maxBytes);
  if (!input.ok() && !(tooLargeIsOk && input.error == fileaccess::ReadError::TooLarge)) {
    messages.Show(input.reason, caption, model::MessageIcon::Error);
    return false;
  }
  bytes = std::move(input.bytes);
  return true;
}

bool LoadConfigArgument(Run& run, const std::string& path, Definition& d) {
  if (!IsStandardStream(path)) return Load(run, d, ui::LoadKind::ConfigFile, path);
  std::vector<std::uint8_t> bytes;
  return ReadInput(persist::kConfigFileSize, true, bytes, run.messages, "Cannot open file") &&
         Load(run, d, ui::LoadKind::ConfigFile, std::string(kStandardInputName), &bytes);
}

// Definition text: a name ending in .json, or a file whose first non-blank
// character opens a JSON object.
bool IsText(const std::string& path) {
  if (path.size() >= 5) {
    std::string end = path.substr(path.size() - 5);
    for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (end == ".json") return true;
  }
  return persist::LooksLikeDefinitionText(
      fileaccess::ReadFile(path, persist::kMaxDefinitionTextSize).bytes);
}

bool LoadEither(Run& run, const std::string& path, Definition& d) {
  if (IsStandardStream(path)) {
    std::vector<std::uint8_t> bytes;
    if (!ReadInput(persist::kMaxDefinitionTextSize, false, bytes, run.messages, "Cannot open file"))
      return false;
    const bool text = persist::LooksLikeDefinitionText(bytes);
    return Load(run, d, text ? ui::LoadKind::Text : ui::LoadKind::ConfigFile,
                std::string(kStandardInputName), &bytes);
  }
  return Load(run, d, IsText(path) ? ui::LoadKind::Text : ui::LoadKind::ConfigFile, path);
}

}  // namespace

int RunExport(int argc, char** argv) {
  const Arguments args =
      ParseArguments(argc, argv, 2, {"--output"}, {{"-o", "--output"}}, {"--force"});
  if (args.help) return PrintHelp(kExportUsage);
  if (!args.error.empty()) return UsageError(kExportUsage, args.error);
  if (args.positional.size() != 1) return UsageError(kExportUsage, "expected one CONFIG.DAT");

  Run run;
  Definition d;
  const std::string& input = args.positional[0];
  const std::string output = args.Option("--output").value_or("-");
  if (!LoadConfigArgument(run, input, d)) return kExitFailed;
  if (WouldReplaceInput(run, input, output) ||
      WouldReplaceOtherKind(run, output, FileKind::DefinitionText, args.Flag("--force")))
    return kExitFailed;
  return WriteOutputFile(run, output, persist::ExportDefinitionText(d.def(), d.header()))
             ? kExitOk
             : kExitFailed;
}

int RunImport(int argc, char** argv) {
  const Arguments args =
      ParseArguments(argc, argv, 2, {"--output"}, {{"-o", "--output"}}, {"--force"});
  if (args.help) return PrintHelp(kImportUsage);
  if (!args.error.empty()) return UsageError(kImportUsage, args.error);
  const std::optional<std::string> output = args.Option("--output");
  if (args.positional.size() != 1 || !output)
    return UsageError(kImportUsage, "expected FILE.json -o CONFIG.DAT");

  Run run;
  Definition d;
  const std::string& input = args.positional[0];
  if (IsStandardStream(*output) && RefuseBinaryToTerminal("a configuration file"))
    return kExitFailed;
  if (IsStandardStream(input)) {
    std::vector<std::uint8_t> bytes;
    if (!ReadInput(persist::kMaxDefinitionTextSize, false, bytes, run.messages, "Import text") ||
        !Load(run, d, ui::LoadKind::Text, std::string(kStandardInputName), &bytes))
      return kExitFailed;
  } else if (!Load(run, d, ui::LoadKind::Text, input)) {
    return kExitFailed;
  }
  // A configuration file keeps only the packed store: what does not fit would be lost.
  if (!ui::Told(run.io, ui::Command::WriteFile, ui::CheckMacrosFit(d.def()))) return kExitFailed;
  if (WouldReplaceInput(run, input, *output) ||
      WouldReplaceOtherKind(run, *output, FileKind::Configuration, args.Flag("--force")))
    return kExitFailed;
  return WriteOutputFile(run, *output, persist::EncodeConfigFile(d.def(), d.header()))
             ? kExitOk
             : kExitFailed;
}

int RunDiff(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, 2, {}, {}, {"--json"});
  if (args.help) return PrintHelp(kDiffUsage);
  if (!args.error.empty()) return UsageError(kDiffUsage, args.error);
  if (args.positional.size() != 2) return UsageError(kDiffUsage, "expected A B");
  if (IsStandardStream(args.positional[0]) && IsStandardStream(args.positional[1]))
    return UsageError(kDiffUsage, "only one of A and B can be standard input");

  Run run;
  Definition a, b;
  if (!LoadEither(run, args.positional[0], a)) return kExitUsage;
  if (!LoadEither(run, args.positional[1], b)) return kExitUsage;
  const std::vector<persist::DefinitionDifference> differences =
      persist::DiffDefinitions(a.def(), a.header(), b.def(), b.header());
  if (args.Flag("--json")) {
    WriteStandardOutput(persist::FormatDifferencesJson(differences));
  } else {
    for (const persist::DefinitionDifference& d : differences)
      if (!WriteStandardOutput(d.line + "\n")) break;
  }
  return differences.empty() ? kExitOk : kExitFailed;
}

}  // namespace veltrane::cli
