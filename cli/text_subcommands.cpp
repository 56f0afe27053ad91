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
#include "persist/header_settings.h"
#include "ui/app/file_commands.h"
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

// A configuration file's bytes, read already, or the file at `path`.
bool LoadConfig(const std::string& path, const std::vector<std::uint8_t>* bytes, Definition& d,
                model::MessageSink& messages) {
  QuietLoad quiet(messages);
  const persist::LoadOutcome outcome =
      bytes != nullptr ? persist::LoadConfigBytes(path, *bytes, *d.def, d.header, quiet)
                       : persist::ReadConfigFile(path, *d.def, d.header, quiet);
  if (outcome != persist::LoadOutcome::Loaded) return false;
  model::ClearStringWorkBuffer(*d.def, false);
  model::RebuildStringWorkBuffer(*d.def);
  d.def->settings = persist::FromHeader(d.header);
  return true;
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

bool LoadConfigArgument(const std::string& path, Definition& d, model::MessageSink& messages) {
  if (!IsStandardStream(path)) return LoadConfig(path, nullptr, d, messages);
  std::vector<std::uint8_t> bytes;
  return ReadInput(persist::kConfigFileSize, true, bytes, messages, "Cannot open file") &&
         LoadConfig(std::string(kStandardInputName), &bytes, d, messages);
}

bool ImportTextBytes(const std::vector<std::uint8_t>& bytes, Definition& d,
                     model::MessageSink& messages, persist::DefinitionTextImport* imported) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  persist::DefinitionTextImport result = persist::ImportNamedDefinitionText(
      std::string(kStandardInputName), text, *d.def, d.header, messages);
  if (imported != nullptr) *imported = result;
  return result.ok;
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

bool LoadEither(const std::string& path, Definition& d, model::MessageSink& messages) {
  if (IsStandardStream(path)) {
    std::vector<std::uint8_t> bytes;
    if (!ReadInput(persist::kMaxDefinitionTextSize, false, bytes, messages, "Cannot open file"))
      return false;
    if (persist::LooksLikeDefinitionText(bytes))
      return ImportTextBytes(bytes, d, messages, nullptr);
    return LoadConfig(std::string(kStandardInputName), &bytes, d, messages);
  }
  if (!IsText(path)) return LoadConfig(path, nullptr, d, messages);
  return persist::ReadDefinitionTextFile(path, *d.def, d.header, messages).ok;
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
  if (!LoadConfigArgument(input, d, run.messages)) return kExitFailed;
  if (WouldReplaceInput(run, input, output) ||
      WouldReplaceOtherKind(run, output, FileKind::DefinitionText, args.Flag("--force")))
    return kExitFailed;
  return WriteOutputFile(run, output, persist::ExportDefinitionText(*d.def, d.header))
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
  persist::DefinitionTextImport imported;
  if (IsStandardStream(input)) {
    std::vector<std::uint8_t> bytes;
    if (!ReadInput(persist::kMaxDefinitionTextSize, false, bytes, run.messages,
                   persist::kImportTextCaption) ||
        !ImportTextBytes(bytes, d, run.messages, &imported))
      return kExitFailed;
  } else {
    imported = persist::ReadDefinitionTextFile(input, *d.def, d.header, run.messages);
    if (!imported.ok) return kExitFailed;
  }
  // A configuration file keeps only the packed store: what does not fit would be lost.
  if (!ui::Told(run.io, ui::Command::WriteFile, ui::CheckMacrosFit(*d.def))) return kExitFailed;
  if (WouldReplaceInput(run, input, *output) ||
      WouldReplaceOtherKind(run, *output, FileKind::Configuration, args.Flag("--force")))
    return kExitFailed;
  return WriteOutputFile(run, *output, persist::EncodeConfigFile(*d.def, d.header)) ? kExitOk
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
  if (!LoadEither(args.positional[0], a, run.messages)) return kExitUsage;
  if (!LoadEither(args.positional[1], b, run.messages)) return kExitUsage;
  const std::vector<persist::DefinitionDifference> differences =
      persist::DiffDefinitions(*a.def, a.header, *b.def, b.header);
  if (args.Flag("--json")) {
    WriteStandardOutput(persist::FormatDifferencesJson(differences));
  } else {
    for (const persist::DefinitionDifference& d : differences)
      if (!WriteStandardOutput(d.line + "\n")) break;
  }
  return differences.empty() ? kExitOk : kExitFailed;
}

}  // namespace veltrane::cli
