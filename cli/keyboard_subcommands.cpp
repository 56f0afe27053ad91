// SPDX-License-Identifier: MIT
#include "cli/keyboard_subcommands.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "cli/cli_support.h"
#include "cli/command_files.h"
#include "cli/standard_streams.h"
#include "cli/terminal_text.h"
#include "eeprom/image_files.h"
#include "ui/app/changed_download.h"
#include "ui/app/file_commands.h"
#include "ui/app/image_commands.h"
#include "ui/app/keyboard_commands.h"
#include "ui/app/nirvex_link.h"
#include "ui/app/verify.h"

namespace veltrane::cli {
namespace {

const char* const kDetectUsage =
    "usage: veltrane-cli detect\n"
    "  Looks for the keyboard and prints its version text and firmware version.\n";
const char* const kProgramUsage =
    "usage: veltrane-cli program CONFIG.DAT [--verify|--no-verify] [--changed-only]\n"
    "  Loads CONFIG.DAT, builds its EEPROM image and downloads it to the keyboard,\n"
    "  then reads the 3072 bytes back and compares them (--verify, the default);\n"
    "  --no-verify skips the read-back.\n"
    "  With --changed-only reads the keyboard first and sends only the 4-byte words\n"
    "  that differ (all of them when it cannot be read or more than half differ),\n"
    "  then reads those back: a verified download.\n";
const char* const kReadUsage =
    "usage: veltrane-cli read -o OUT.DAT [--copy FILE]\n"
    "  Reads the keyboard's EEPROM back, decodes it and saves it as OUT.DAT;\n"
    "  with --copy also writes the raw 8192-byte image to FILE. One of them may be\n"
    "  '-', standard output.\n";
const char* const kMatrixUsage =
    "usage: veltrane-cli matrix on|off\n"
    "  Switches the keyboard's key matrix mode.\n";

// Draws the transfer's progress on stderr when it is a terminal.
void ShowProgressOnTerminal(ui::AppState& app) {
  if (::isatty(STDERR_FILENO) == 0) return;
  app.progress.changed = [](const ui::ProgressBar& bar) {
    const int span = bar.maximum > bar.minimum ? bar.maximum - bar.minimum : 1;
    const int percent = (bar.position - bar.minimum) * 100 / span;
    const int filled = percent / 2;
    std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled,
                 "##################################################", 50 - filled, "", percent);
    if (bar.position >= bar.maximum) std::fputc('\n', stderr);
    std::fflush(stderr);
  };
}

// The changed-words download; what it sent goes to stderr as to the log.
int ProgramChangedWords(Run& run, ui::NirvexLink& link) {
  const ui::ChangedDownload download = ui::ProgramChangedWords(
      run.app, run.io, link,
      [](const std::string& line) { std::fprintf(stderr, "veltrane-cli: %s\n", line.c_str()); });
  return ExitStatus(download.outcome);
}

}  // namespace

int RunDetect(int argc, char** argv) {
  int status = kExitOk;
  if (!ParseOrHelp(ParseArguments(argc, argv, 2, {}), kDetectUsage, 0, status)) return status;
  Run run;
  ui::NirvexLink link(run.messages);
  ui::DetectionStep(run.app, link);
  // The keyboard chooses its product string: it reaches the terminal escaped.
  WriteStandardOutput("Version text: " + EscapeControls(run.app.doc.versionText) +
                      "\nFirmware version: " + std::to_string(run.app.doc.firmwareVersion) + "\n");
  return run.app.doc.firmwareVersion != 0 ? kExitOk : kExitFailed;
}

int RunProgram(int argc, char** argv) {
  int status = kExitOk;
  const Arguments args =
      ParseArguments(argc, argv, 2, {}, {}, {"--verify", "--no-verify", "--changed-only"});
  if (!ParseOrHelp(args, kProgramUsage, 1, status)) return status;
  if (args.Flag("--verify") && args.Flag("--no-verify"))
    return UsageError(kProgramUsage, "--verify and --no-verify contradict each other");
  if (args.Flag("--changed-only") && args.Flag("--no-verify"))
    return UsageError(kProgramUsage, "--changed-only always reads back what it sent");
  Run run;
  ui::AppState& app = run.app;
  if (!ui::LoadSettingsFile(app, run.io, args.positional[0])) return kExitFailed;
  ui::NirvexLink link(run.messages);
  ShowProgressOnTerminal(app);
  if (args.Flag("--changed-only")) return ProgramChangedWords(run, link);
  const ui::Verify verify = args.Flag("--no-verify") ? ui::Verify::Off : ui::Verify::Told;
  return ExitStatus(ui::ProgramKeyboard(app, run.io, link, {}, verify));
}

int RunRead(int argc, char** argv) {
  int status = kExitOk;
  const Arguments args =
      ParseArguments(argc, argv, 2, {"--output", "--copy"}, {{"-o", "--output"}});
  if (!ParseOrHelp(args, kReadUsage, 0, status)) return status;
  const auto output = args.Option("--output");
  if (!output) return UsageError(kReadUsage, "-o OUT.DAT is required");
  const auto copy = args.Option("--copy");
  if (copy && IsStandardStream(*copy) && IsStandardStream(*output))
    return UsageError(kReadUsage, "only one of OUT.DAT and --copy can be standard output");
  if ((IsStandardStream(*output) || (copy && IsStandardStream(*copy))) &&
      RefuseBinaryToTerminal("what is read"))
    return kExitFailed;
  Run run;
  if (copy && WouldReplaceInput(run, *copy, *output))
    return kExitFailed;  // the copy and the definition would be one file
  ui::NirvexLink link(run.messages);
  ShowProgressOnTerminal(run.app);
  if (!ui::ReadKeyboard(run.app, run.io, link).ok()) return kExitFailed;
  bool ok = true;
  // The copy holds the image as read: it is written before the save builds a new one.
  if (copy) ok = WriteOutputFile(run, *copy, run.app.doc.image);
  ok = SaveDefinitionOutput(run, *output) && ok;
  return ok ? kExitOk : kExitFailed;
}

int RunMatrix(int argc, char** argv) {
  int status = kExitOk;
  const Arguments args = ParseArguments(argc, argv, 2, {});
  if (!ParseOrHelp(args, kMatrixUsage, 1, status)) return status;
  const std::string& state = args.positional[0];
  if (state != "on" && state != "off") return UsageError(kMatrixUsage, "say on or off");
  Run run;
  ui::NirvexLink link(run.messages);
  return ExitStatus(ui::SwitchMatrix(run.app, run.io, link, state == "on"));
}

}  // namespace veltrane::cli
