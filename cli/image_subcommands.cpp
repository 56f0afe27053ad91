// SPDX-License-Identifier: MIT
#include "cli/image_subcommands.h"

#include <cstdio>
#include <vector>

#include "cli/cli_support.h"
#include "cli/command_files.h"
#include "cli/standard_streams.h"
#include "eeprom/image_files.h"
#include "eeprom/image_layout.h"
#include "eeprom/text_dump.h"
#include "persist/config_file.h"
#include "ui/app/file_commands.h"
#include "ui/app/image_commands.h"

namespace veltrane::cli {
namespace {

const char* const kBuildUsage =
    "usage: veltrane-cli build CONFIG.DAT [--version-text TEXT] [--bin FILE] [--txt FILE]\n"
    "  Loads CONFIG.DAT and builds its EEPROM image for the keyboard version TEXT\n"
    "  (default, or \"\": none, firmware 0). Writes the files asked for; with\n"
    "  neither option both, as BASENAME.BIN and BASENAME.TXT beside CONFIG.DAT.\n"
    "  CONFIG.DAT '-' is read from standard input (then give --bin or --txt); one\n"
    "  of FILE may be '-', standard output.\n";

const char* const kDecodeUsage =
    "usage: veltrane-cli decode IMAGE.BIN [--version-text TEXT] -o OUT.DAT\n"
    "  Decodes the first 3072 bytes of IMAGE.BIN as read back from a keyboard of\n"
    "  version TEXT (default, or \"\": none, firmware 0) and saves the definition as\n"
    "  OUT.DAT. Either may be '-': standard input, standard output.\n";

// An image file from standard input, as LoadImageFile takes one from a file.
bool LoadImageInput(Run& run, const std::string& path) {
  if (!IsStandardStream(path)) return ui::LoadImageFile(run.app, run.io, path).ok();
  const fileaccess::ReadResult input = ReadStandardInput(eeprom::kImageSize);
  if (!input.ok()) {
    const bool tooLong = input.error == fileaccess::ReadError::TooLarge;
    ui::Outcome failed{tooLong ? ui::Result::ImageTooLong : ui::Result::CannotOpen};
    failed.path = std::string(kStandardInputName);
    failed.reason = tooLong ? std::string() : input.reason;
    failed.count = -1;  // more than an image holds
    return ui::Told(run.io, ui::Command::LoadImage, failed).ok();
  }
  return ui::LoadImageBytes(run.app, run.io, std::string(kStandardInputName), input.bytes).ok();
}

}  // namespace

int RunBuild(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, 2, {"--version-text", "--bin", "--txt"}, {}, {},
                                        {"--version-text"});
  if (args.help) return PrintHelp(kBuildUsage);
  if (!args.error.empty()) return UsageError(kBuildUsage, args.error);
  if (args.positional.size() != 1) return UsageError(kBuildUsage, "expected one CONFIG.DAT");
  const auto bin = args.Option("--bin");
  const auto txt = args.Option("--txt");
  const std::string input = args.positional[0];
  if (IsStandardStream(input) && !bin && !txt)
    return UsageError(kBuildUsage, "with CONFIG.DAT from standard input, give --bin or --txt");
  if (bin && txt && IsStandardStream(*bin) && IsStandardStream(*txt))
    return UsageError(kBuildUsage, "only one of --bin and --txt can be standard output");
  if (bin && IsStandardStream(*bin) && RefuseBinaryToTerminal("an EEPROM image"))
    return kExitFailed;

  Run run;
  ui::AppState& app = run.app;
  if (!LoadConfigurationArgument(run, input)) return kExitFailed;
  ui::SetVersionText(app, args.Option("--version-text").value_or(""));
  if (!ui::BuildImageForUse(app, run.io).ok()) return kExitFailed;

  const std::string base = app.doc.dataDirectory + app.doc.baseName;
  for (const std::string& output : (bin || txt) ? std::vector{bin.value_or(""), txt.value_or("")}
                                                : std::vector{base + ".BIN", base + ".TXT"})
    if (!output.empty() && WouldReplaceInput(run, input, output)) return kExitFailed;
  if (!bin && !txt) return ExitStatus(ui::WriteImageFiles(app, run.io, true, true));
  bool ok = true;
  if (bin) ok = WriteOutputFile(run, *bin, app.doc.image) && ok;
  if (txt) ok = WriteOutputFile(run, *txt, eeprom::FormatTextDump(app.doc.image)) && ok;
  return ok ? kExitOk : kExitFailed;
}

int RunDecode(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, 2, {"--version-text", "--output"},
                                        {{"-o", "--output"}}, {}, {"--version-text"});
  if (args.help) return PrintHelp(kDecodeUsage);
  if (!args.error.empty()) return UsageError(kDecodeUsage, args.error);
  if (args.positional.size() != 1) return UsageError(kDecodeUsage, "expected one IMAGE.BIN");
  const auto output = args.Option("--output");
  if (!output) return UsageError(kDecodeUsage, "-o OUT.DAT is required");
  if (IsStandardStream(*output) && RefuseBinaryToTerminal("a configuration file"))
    return kExitFailed;

  Run run;
  ui::AppState& app = run.app;
  if (WouldReplaceInput(run, args.positional[0], *output)) return kExitFailed;
  // The version tells the decode where the settings lie.
  ui::SetVersionText(app, args.Option("--version-text").value_or(""));
  if (!LoadImageInput(run, args.positional[0])) return kExitFailed;
  return SaveDefinitionOutput(run, *output) ? kExitOk : kExitFailed;
}

}  // namespace veltrane::cli
